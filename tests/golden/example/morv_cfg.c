/* ----------------------------------------------------------------------- */
/*  KMT-R7    Morvik network configuration C surce file.                   */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */

unsigned char ThisIs[] = {10,20,30,40};
unsigned char SubNetMask[] = {255,255,255,0};
unsigned char NetWorkAddress[] = {10,20,30,0};
unsigned char LocalHost[] = {127,0,0,1};
unsigned char GateWay[] = {10,20,30,1};
unsigned char DomainNameServer[] = {10,20,30,2};
unsigned char BroadCast[] = {255,255,255,255};
unsigned char SubNetBroadCast[] = {10,20,30,255};
unsigned char NTPServer[] = {129,6,15,28};
unsigned char SMTPServer[] = {10,20,30,25};
unsigned char POP3Server[] = {10,20,30,110};
char BuildNumber[] = {"YYYYMMDDhhmmss"};

/* ----------------------------------------------------------------------- */
/*  End of file                                                            */
/*                                  Made by morvcfg - do not edit.         */
/* ----------------------------------------------------------------------- */
