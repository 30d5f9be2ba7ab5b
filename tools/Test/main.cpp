#include "BrannowayLib.h"
#include "Test.h"

int main() {
  BrannowayLib::Initialise();
  Test::Run();
  return BrannowayLib::ExitStatus();
}
