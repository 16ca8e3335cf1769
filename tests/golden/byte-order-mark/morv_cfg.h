/* ----------------------------------------------------------------------- */
/*  KMT-R7    Morvik network configuration Header file.                    */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */

#define	ETH0_VERY_SMALL_BLOCK_SIZE	0
#define	ETH0_VERY_SMALL_BLOCKS	0
#define	ETH0_SMALL_BLOCK_SIZE	0
#define	ETH0_SMALL_BLOCKS	0
#define	ETH0_MIDDLE_BLOCK_SIZE	0
#define	ETH0_MIDDLE_BLOCKS	0
#define	ETH0_LARGE_BLOCK_SIZE	0
#define	ETH0_LARGE_BLOCKS	0

#define	ETH0_RCV_VERY_SMALL_SZ	0
#define	ETH0_RCV_SMALL_SZ	0
#define	ETH0_RCV_MIDDLE_SZ	0
#define	ETH0_RCV_LARGE_SZ	0

/* ----------------------------------------------------------------------- */
/*  End of file                                                            */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */
