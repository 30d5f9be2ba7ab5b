// The match. It is built next; until then a match ends as soon as it starts.
#include "OperationBrannoway.h"

namespace OperationBrannoway {

void Spel(eKlik) {}

}  // namespace OperationBrannoway
