/* A program of the Zarvotill product (server, terminal, helpers): it names itself and its
   edition on standard output and ends. The build gives each one its own version resource. */
#include <stdio.h>

int main(void) {
  printf("Zarvotill %s (%s)\n", ZV_ROLE, ZV_EDITION);
  return 0;
}
