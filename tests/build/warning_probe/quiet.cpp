int probeAnswer()
{
    return 42;
}
