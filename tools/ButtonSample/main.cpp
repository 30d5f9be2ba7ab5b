#include "BrannowayLib.h"
#include "ButtonSample.h"

int main() {
  BrannowayLib::Initialise();
  ButtonSample::Run();
  return BrannowayLib::ExitStatus();
}
