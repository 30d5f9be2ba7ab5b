#include "OperationBrannoway.h"

int main() {
  OperationBrannoway::Run();
  return 0;
}
