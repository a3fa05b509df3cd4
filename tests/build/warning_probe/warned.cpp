int probeWarned()
{
    int unused = 1;
    return 0;
}
