#pragma once

#include "VstInterface.h"

class AEffEditor;
class Korvel;

// The effect's link to its editor. A module with an editor links the editor library's versions; a
// module without one links versions that do nothing (the effect then never has an editor).

// Gives the effect its editor, which attaches itself.
void attachEditor(Korvel& effect);
// Tells the editor that parameter index changed to value.
void tellEditor(AEffEditor& editor, VstInt32 index, float value);
