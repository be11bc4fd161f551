#include "EditorAttachment.h"

// This module has no window to show an editor in: the host is told there is none.
void attachEditor(Korvel&) {}
void tellEditor(AEffEditor&, VstInt32, float) {}
