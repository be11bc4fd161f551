#pragma once

class Korvel;

// Gives the effect its editor, which attaches itself. A module without an editor links a version
// that does nothing.
void attachEditor(Korvel& effect);
