// The floor of the command line's benchmark: a C++ program that only starts and ends, built with
// the program's compiler and options, with the C++ runtime loaded as in any program that uses the
// standard library.
#include <iostream>

int main() {
  return 0;
}
