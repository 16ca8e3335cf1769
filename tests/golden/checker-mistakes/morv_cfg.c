/* ----------------------------------------------------------------------- */
/*  KMT-R7    Morvik network configuration C surce file.                   */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */

unsigned char ThisIs[] = {172,16,5,20};
unsigned char SubNetMask[] = {255,255,240,0};
unsigned char NetWorkAddress[] = {172,16,0,0};
unsigned char LocalHost[] = {127,0,0,9};
unsigned char GateWay[] = {172,16,0,254};
unsigned char DomainNameServer[] = {172,16,0,6};
unsigned char BroadCast[] = {255,255,255,255};
unsigned char SubNetBroadCast[] = {172,16,15,255};
unsigned char NTPServer[] = {255,256,4294967295,0};
unsigned char SMTPServer[] = {0,0,4294967295,4294967295};
unsigned char POP3Server[] = {10,0,0,1};
char BuildNumber[] = {"YYYYMMDDhhmmss"};

/* ----------------------------------------------------------------------- */
/*  End of file                                                            */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */
