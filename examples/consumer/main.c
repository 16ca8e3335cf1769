/* Prints what morvcfg generated from network.cfg. */
#include <stdio.h>

#include "morv_cfg.h"

extern unsigned char ThisIs[];
extern unsigned char GateWay[];
extern char BuildNumber[];

int main(void) {
    printf("this host %u.%u.%u.%u, gateway %u.%u.%u.%u\n", ThisIs[0], ThisIs[1], ThisIs[2], ThisIs[3], GateWay[0],
           GateWay[1], GateWay[2], GateWay[3]);
    printf("small pool %d x %d = %d bytes, large pool %d x %d = %d bytes\n", ETH0_SMALL_BLOCK_SIZE, ETH0_SMALL_BLOCKS,
           ETH0_RCV_SMALL_SZ, ETH0_LARGE_BLOCK_SIZE, ETH0_LARGE_BLOCKS, ETH0_RCV_LARGE_SZ);
    printf("built %s\n", BuildNumber);
    return 0;
}
