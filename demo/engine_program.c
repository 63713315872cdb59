/* The administration program of the demo's database engine installation: it names itself
   and ends. */
#include <stdio.h>

int main(void) {
  printf("%s %s\n", ENGINE_FILE, ENGINE_VERSION);
  return 0;
}
