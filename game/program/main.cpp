#include "OperationBrannoway.h"

#include "BrannowayLib.h"

int main() {
  OperationBrannoway::Run();
  return BrannowayLib::ExitStatus();
}
