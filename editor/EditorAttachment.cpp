#include "EditorAttachment.h"

#include "SDEditor.h"

void attachEditor(Korvel& effect) { new SDEditor(&effect); }  // owned by the effect from here on
