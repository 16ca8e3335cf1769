/* ----------------------------------------------------------------------- */
/*  KMT-R7    Morvik network configuration C surce file.                   */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */

unsigned char ThisIs[] = {192,168,0,254};
unsigned char SubNetMask[] = {255,255,255,0};
unsigned char NetWorkAddress[] = {192,168,0,0};
unsigned char LocalHost[] = {10,0,0,9};
unsigned char GateWay[] = {192,168,0,1};
unsigned char DomainNameServer[] = {192,168,0,1};
unsigned char BroadCast[] = {255,255,255,255};
unsigned char SubNetBroadCast[] = {192,168,0,255};
unsigned char NTPServer[] = {129,6,15,28};
unsigned char SMTPServer[] = {0,0,0,0};
unsigned char POP3Server[] = {0,0,0,0};
char BuildNumber[] = {"YYYYMMDDhhmmss"};

/* ----------------------------------------------------------------------- */
/*  End of file                                                            */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */
