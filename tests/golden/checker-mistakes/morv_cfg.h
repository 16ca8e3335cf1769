/* ----------------------------------------------------------------------- */
/*  KMT-R7    Morvik network configuration Header file.                    */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */

#define	ETH0_VERY_SMALL_BLOCK_SIZE	-2147483648
#define	ETH0_VERY_SMALL_BLOCKS	2147483647
#define	ETH0_SMALL_BLOCK_SIZE	-4
#define	ETH0_SMALL_BLOCKS	16
#define	ETH0_MIDDLE_BLOCK_SIZE	512
#define	ETH0_MIDDLE_BLOCKS	0
#define	ETH0_LARGE_BLOCK_SIZE	65536
#define	ETH0_LARGE_BLOCKS	65536

#define	ETH0_RCV_VERY_SMALL_SZ	-2147483648
#define	ETH0_RCV_SMALL_SZ	-64
#define	ETH0_RCV_MIDDLE_SZ	0
#define	ETH0_RCV_LARGE_SZ	0

/* ----------------------------------------------------------------------- */
/*  End of file                                                            */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */
