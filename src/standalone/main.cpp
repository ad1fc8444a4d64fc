#include <cstdio>

int main() {
  std::puts("kiln: command line under construction");
  return 0;
}
