#include "EditorAttachment.h"

#include "SDEditor.h"

void attachEditor(Korvel& effect) { new SDEditor(&effect); }  // owned by the effect from here on

// The effect's editor is always the one attachEditor made.
void tellEditor(AEffEditor& editor, VstInt32 index, float value) {
    static_cast<AEffGUIEditor&>(editor).setParameter(index, value);
}
