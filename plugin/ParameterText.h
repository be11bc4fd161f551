#pragma once

// The texts that show a parameter in the units it acts in. The host's parameter display and the
// editor's value displays both take their text from here, so the two always read the same.
// Every function writes at most kMaxLength characters and clears the field up to and including
// text[kMaxLength]; the caller's buffer holds kMaxLength + 1 bytes.
namespace ParameterText {

constexpr int kMaxLength = 8;

// A tone band's gain, 24 * value - 12 dB, with one decimal: "-12.0" to "12.0" for values 0..1.
void toneGain(float value, char* text);
// The output level, 60 * value - 40 dB, with one decimal; "-oo" (silence) for value <= 0.
void volumeLevel(float value, char* text);
// Drive and Bias: the value itself with one decimal.
void amount(float value, char* text);

// The display text of parameter `index` for 0..5 (tone bands, Drive, Bias, Volume). Writes nothing
// and answers false for any other index.
bool format(int index, float value, char* text);

}  // namespace ParameterText
