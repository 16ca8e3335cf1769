#define BOARD_B 1
  MORV_DNS(10.20.30.2);   /* indented: not a directive */
