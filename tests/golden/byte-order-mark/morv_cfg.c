/* ----------------------------------------------------------------------- */
/*  KMT-R7    Morvik network configuration C surce file.                   */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */

unsigned char ThisIs[] = {10,1,2,3};
unsigned char SubNetMask[] = {255,255,0,0};
unsigned char NetWorkAddress[] = {10,1,0,0};
unsigned char LocalHost[] = {127,0,0,1};
unsigned char GateWay[] = {10,1,0,1};
unsigned char DomainNameServer[] = {10,1,0,1};
unsigned char BroadCast[] = {255,255,255,255};
unsigned char SubNetBroadCast[] = {10,1,255,255};
unsigned char NTPServer[] = {129,6,15,28};
unsigned char SMTPServer[] = {0,0,0,0};
unsigned char POP3Server[] = {0,0,0,0};
char BuildNumber[] = {"YYYYMMDDhhmmss"};

/* ----------------------------------------------------------------------- */
/*  End of file                                                            */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */
