#include <stdio.h>

int main(void)
{
    if (1 < 2 && 3 > 2)
        printf("hello, <world> & all\n");
    return 0;
}
