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

// The host's text of parameter `index`: the decibels it produces with one decimal, a plain amount
// (Drive, Bias) as float2string writes it, the factor or the channel mode. Answers false, writing
// nothing, for indices out of range.
bool hostText(int index, float value, char* text);
// An oversampling factor as the host and the editor's menu show it: "8x".
void factorText(int factor, char* text);

// The editor's value displays: one decimal of the decibels or the amount, for a buffer of at least
// kPanelTextSize bytes; "-oo" for a silent Volume.
constexpr int kPanelTextSize = 64;
void panelTone(float value, char* text);
void panelAmount(float value, char* text);
void panelVolume(float value, char* text);
// The panel text for parameters 0..5; null for any other index.
using PanelFormatter = void (*)(float value, char* text);
PanelFormatter panelFormatter(int index);

}  // namespace ParameterText
