DIM Total
total = 5
LOG TOTAL ' expect: 5
sub SayIt(word)
  log word
end sub
sayit "hello" ' expect: hello
If TRUE then log "yes" ' expect: yes
