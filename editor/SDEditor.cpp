#include "SDEditor.h"

#include <cstring>

#include "CBitmap.h"
#include "CFrame.h"
#include "CKickButton.h"
#include "CMenuItem.h"
#include "COnOffButton.h"
#include "COptionMenu.h"
#include "CParamDisplayA.h"
#include "CSliderA.h"
#include "Korvel.h"
#include "PanelLayout.h"
#include "ParameterText.h"

using namespace Toolkit;

namespace {

enum Tag : int32_t {
    kTagOversampling = 6,
    kTagChannelMode = 7,
    kTagProgramMenu = 9,
    kTagProgramName = 10,
    kTagUndo = 11,
    kTagCopy = 12,
    kTagA = 13,
    kTagB = 14,
};

enum BitmapId : int32_t {
    kBackground = 103,
    kHandle = 105,
    kTrack = 106,
    kValveTrack = 107,
    kDisplay = 108,
    kButtonA = 109,
    kUndo = 110,
    kUndoLit = 111,
    kButtonALit = 112,
    kCopy = 113,
    kButtonB = 114,
    kButtonBLit = 115,
};

static_assert(PanelLayout::kSliderCount == SDEditor::kSliderCount);
constexpr ViewRect viewRect(const PanelLayout::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
constexpr ViewPoint viewPoint(const PanelLayout::Point& p) { return {p.x, p.y}; }
constexpr ViewColor kMenuColor{
    PanelLayout::kMenuColour[0], PanelLayout::kMenuColour[1], PanelLayout::kMenuColour[2], 255};

constexpr int32_t kFirstUserProgram = Programs::kFactoryCount;
constexpr int32_t kLastUserProgram = Programs::kProgramCount - 1;
// The program menu: each section's title and a separator, then its programs and a separator.
constexpr int32_t kFactoryTitleEntry = 0;
constexpr int32_t kFirstFactoryEntry = kFactoryTitleEntry + 2;
constexpr int32_t kUserTitleEntry = kFirstFactoryEntry + Programs::kFactoryCount + 1;
constexpr int32_t kFirstUserEntry = kUserTitleEntry + 2;
constexpr size_t kStoredNameLength = 11;
static_assert(kDisplayTextSize >= ParameterText::kPanelTextSize);

// The menu entry of a channel count; counts not in the table show as Stereo.
int32_t channelEntry(int32_t count) {
    for (int32_t entry = 0; entry < Parameters::kChannelModeCount; ++entry)
        if (static_cast<int32_t>(Parameters::kChannelModes[entry].value) == count) return entry;
    return 1;
}

// The program of a program-menu entry (not a separator, not the store command), and the reverse.
int32_t programOfEntry(int32_t entry) {
    return entry - kFirstFactoryEntry < kFirstUserProgram ? entry - kFirstFactoryEntry
                                                          : entry - kFirstUserEntry + kFirstUserProgram;
}
int32_t entryOfProgram(int32_t program) {
    return program < kFirstUserProgram ? program + kFirstFactoryEntry : program - kFirstUserProgram + kFirstUserEntry;
}

// The first kStoredNameLength characters of a typed UTF-8 name, as many whole ones as the record holds.
void storedName(const char* typed, char (&name)[ProgramRecord::kNameSize]) {
    size_t length = 0;
    for (size_t characters = 0; typed[length] && characters < kStoredNameLength; ++characters) {
        size_t next = length + 1;
        while ((static_cast<unsigned char>(typed[next]) & 0xc0) == 0x80) ++next;
        if (next >= sizeof name) break;
        length = next;
    }
    std::memcpy(name, typed, length);
    name[length] = 0;
}

// The bitmap's size at a place of the layout.
ViewRect rectOf(const CBitmap* bitmap, int32_t x, int32_t y) {
    return ViewRect::fromSize({x, y}, bitmap->width(), bitmap->height());
}
ViewRect rectOf(const CBitmap* bitmap, const PanelLayout::Rect& place) { return rectOf(bitmap, place.left, place.top); }

void colourMenu(CParamDisplay* control) {
    control->setBackColor(kMenuColor);
    control->setFrameColor(kMenuColor);
}

}  // namespace

SDEditor::SDEditor(Korvel* effect) : AEffGUIEditor(effect), korvel(effect), background(new CBitmap(kBackground)) {
    rect.top = 0;
    rect.left = 0;
    rect.right = static_cast<VstInt16>(background->width() ? background->width() : 400);
    rect.bottom = static_cast<VstInt16>(background->height() ? background->height() : 300);
}

SDEditor::~SDEditor() {
    close();
    background->release();
}

bool SDEditor::open(void* parentWindow) {
    close();  // a second open without a close replaces the first window
    AEffGUIEditor::open(parentWindow);
    adoptUserInterfaceThread();
    followHostProgram();
    namingProgram = false;
    korvel->restartComparison();
    undoTag = -1;
    gestureControl = nullptr;

    CBitmap* track = new CBitmap(kTrack);
    CBitmap* valveTrack = new CBitmap(kValveTrack);
    CBitmap* handle = new CBitmap(kHandle);
    CBitmap* display = new CBitmap(kDisplay);
    CBitmap* undoLit = new CBitmap(kUndoLit);
    CBitmap* undoImage = new CBitmap(kUndo);
    CBitmap* copyImage = new CBitmap(kCopy);
    CBitmap* aLit = new CBitmap(kButtonALit);
    CBitmap* aImage = new CBitmap(kButtonA);
    CBitmap* bLit = new CBitmap(kButtonBLit);
    CBitmap* bImage = new CBitmap(kButtonB);

    auto* newFrame = new CFrame(ViewRect{0, 0, rect.right, rect.bottom}, parentWindow, this);
    newFrame->setBackground(background);
    building = newFrame;
    buildSliders(handle, track, valveTrack);
    buildDisplays(display);
    buildMenus();

    const ViewPoint kickOffset = viewPoint(PanelLayout::kKickImageOffset);
    undoButton = new CKickButton(rectOf(undoLit, PanelLayout::kUndoButton), this, kTagUndo, undoImage, kickOffset);
    newFrame->appendChild(undoButton);
    copyButton = new CKickButton(rectOf(copyImage, PanelLayout::kCopyButton), this, kTagCopy, copyImage, kickOffset);
    newFrame->appendChild(copyButton);
    buttonA = new COnOffButton(rectOf(aLit, PanelLayout::kButtonA), this, kTagA, aImage, 0);
    newFrame->appendChild(buttonA);
    buttonA->setValue(0.6f);  // A is on
    buttonB = new COnOffButton(rectOf(bLit, PanelLayout::kButtonB), this, kTagB, bImage, 0);
    newFrame->appendChild(buttonB);

    for (CBitmap* bitmap : {track, valveTrack, handle, display, undoLit, undoImage, copyImage, aLit, aImage, bLit, bImage})
        bitmap->release();
    building = nullptr;
    frame = newFrame;  // from now on the effect's changes reach the controls
    return true;
}

void SDEditor::buildSliders(CBitmap* handle, CBitmap* track, CBitmap* valveTrack) {
    using namespace PanelLayout;
    const int32_t maxPos = kSliderTop - 1 + track->height() - handle->height();  // handle top at value 0
    for (int32_t tag = 0; tag < kSliderCount; ++tag) {
        CBitmap* slot = kValveSlider[tag] ? valveTrack : track;
        auto* slider = new CVerticalSliderA(rectOf(slot, kSliderX[tag], kSliderTop), this, tag, kMinPos, maxPos,
                                            handle, slot, {0, 0}, kSliderMinBottom | kSliderVertical);
        slider->setHandleOffset(viewPoint(kValveSlider[tag] ? kValveHandleOffset : kHandleOffset));
        const float value = korvel->getParameter(tag);
        slider->setValue(value);
        if (tag == Parameters::kVolume) slider->setDefaultValue(Parameters::kFactoryVolume);
        building->appendChild(slider);
        sliders[tag] = slider;
    }
}

void SDEditor::buildDisplays(CBitmap* bitmap) {
    for (int32_t tag = 0; tag < kSliderCount; ++tag) {
        auto* display = new CParamDisplayA(
            rectOf(bitmap, PanelLayout::kDisplayX[tag], PanelLayout::kDisplayTop), this, tag, "", bitmap, 0);
        // Amounts step by 0.01, decibel scales by 1/240 (0.1 dB on the tone bands).
        const bool amount = Parameters::kDefinitions[tag].display == Parameters::Display::kAmount;
        display->dragStep = amount ? 0.01f : 1.0f / 240.0f;
        const float value = korvel->getParameter(tag);
        display->setValue(value);
        display->setValueFormatter(ParameterText::panelFormatter(tag));
        building->appendChild(display);
        sliders[tag]->linkedDisplay = display;
        displays[tag] = display;
    }
}

void SDEditor::buildMenus() {
    channelMenu = new COptionMenu(viewRect(PanelLayout::kChannelMenu), this, kTagChannelMode, nullptr, nullptr, 0);
    colourMenu(channelMenu);
    for (const Parameters::ChannelMode& mode : Parameters::kChannelModes) channelMenu->addEntry(mode.name);
    channelMenu->setCurrent(channelEntry(korvel->activeChannelCount()), true);
    building->appendChild(channelMenu);

    oversamplingMenu =
        new COptionMenu(viewRect(PanelLayout::kOversamplingMenu), this, kTagOversampling, nullptr, nullptr, 0);
    colourMenu(oversamplingMenu);
    for (int32_t factor : Parameters::kFactors) {
        char title[16];
        ParameterText::factorText(factor, title);
        oversamplingMenu->addEntry(title);
    }
    oversamplingMenu->setCurrent(truncateValue(korvel->getParameter(kTagOversampling) * 5.0f), true);
    building->appendChild(oversamplingMenu);

    nameField = new CTextEdit(viewRect(PanelLayout::kProgramField), this, kTagProgramName, nullptr, nullptr, 0);
    nameField->setText("TestEdit");
    colourMenu(nameField);
    nameField->setShown(false);
    building->appendChild(nameField);

    programMenu = new COptionMenu(viewRect(PanelLayout::kProgramField), this, kTagProgramMenu, nullptr, nullptr, 0);
    colourMenu(programMenu);
    fillProgramMenu();
    programMenu->setCurrent(menuIndex, true);
    building->appendChild(programMenu);
}

void SDEditor::fillProgramMenu() {
    const ProgramRecord* bank = korvel->programBank();
    // Program names are titles whatever they read: added as items, "-" stays a name, not a separator.
    auto addProgram = [this, bank](int32_t program) { programMenu->addEntry(new CMenuItem(bank[program].name, 0)); };
    programMenu->addEntry("Factory:");
    programMenu->addSeparator();
    for (int32_t program = 0; program < kFirstUserProgram; ++program) addProgram(program);
    programMenu->addSeparator();
    programMenu->addEntry("User:");
    programMenu->addSeparator();
    for (int32_t program = kFirstUserProgram; program <= kLastUserProgram; ++program) addProgram(program);
    programMenu->addSeparator();
    programMenu->addEntry("Store <B> to curr. user");
}

void SDEditor::close() {
    if (frame) {
        CFrame* closing = frame;
        frame = nullptr;  // nothing reaches the controls while they go
        closing->setOpen(false);  // a pop-up still running in it reports no choice
        closing->release();
    }
    AEffGUIEditor::close();
}

void SDEditor::setParameter(VstInt32 index, float) {
    if (!onUserInterfaceThread()) {
        markPending(index);  // shown by the next idle
        return;
    }
    showParameter(index);
}

// Controls show what the effect holds now; they repaint on the next idle because their value differs
// from the one last drawn.
void SDEditor::showParameter(VstInt32 index) {
    if (!frame || index < 0 || index > kTagChannelMode) return;
    const float value = korvel->getParameter(index);
    if (index < kSliderCount) {
        if (sliders[index]) sliders[index]->setValue(value);
        if (displays[index]) displays[index]->setValue(value);
    } else if (index == kTagOversampling) {
        oversamplingMenu->setCurrent(truncateValue(value * 5.0f), true);
    } else {
        channelMenu->setCurrent(channelEntry(truncateValue(value)), true);
    }
}

void SDEditor::valueChanged(CControl* control) {
    if (!frame || control->frame() != frame) return;  // a control of a closed window
    const int32_t tag = control->tag();
    if (tag >= 0 && tag < kSliderCount) {
        recordUndo(control);
        korvel->setParameterAutomated(tag, control->value());
        control->setDirty(true);
        return;
    }
    switch (tag) {
    case kTagOversampling: {
        const int32_t entry = oversamplingMenu->currentIndex(false);
        if (entry >= 0 && entry < Parameters::kFactorCount)
            korvel->setParameter(kTagOversampling, Parameters::kFactorValues[entry]);
        break;
    }
    case kTagChannelMode: {
        const int32_t entry = channelMenu->currentIndex(false);
        if (entry >= 0 && entry < Parameters::kChannelModeCount)
            korvel->setParameter(kTagChannelMode, Parameters::kChannelModes[entry].value);
        break;
    }
    case kTagProgramMenu: programChosen(); break;
    case kTagProgramName: programNameEntered(); break;
    case kTagUndo: undo(control); break;
    case kTagCopy: korvel->copyHeardSide(); break;
    case kTagA: switchTo(true); break;
    case kTagB: switchTo(false); break;
    default: break;
    }
}

void SDEditor::editBegan(CControl* control) {
    const int32_t tag = control->tag();
    if (tag < 0 || tag >= kSliderCount) return;
    gestureControl = control;
    gestureRecorded = false;
}

void SDEditor::editEnded(CControl* control) {
    if (control == gestureControl) gestureControl = nullptr;
    // A name entry that ended without a new name (Escape, Enter or focus loss on the old text).
    if (control == nameField && namingProgram && frame) leaveNameEntry();
}

void SDEditor::followHostProgram() {
    const VstInt32 current = korvel->getProgram();
    if (current < 0 || current > kLastUserProgram || current == programIndex) return;
    programIndex = current;
    menuIndex = entryOfProgram(current);
}

void SDEditor::programChosen() {
    const int32_t entry = programMenu->currentIndex(true);
    followHostProgram();
    if (entry == programMenu->entryCount() - 1) {  // store the B side
        if (programIndex >= kFirstUserProgram && programIndex <= kLastUserProgram) {
            namingProgram = true;
            programMenu->setShown(false);
            nameField->setText("Enter ProgName");
            nameField->setShown(true);
            frame->setDirty(true);
        } else {
            programMenu->setCurrent(menuIndex, true);  // factory programs are not overwritten
        }
        return;
    }
    if (entry == kFactoryTitleEntry || entry == kUserTitleEntry) {
        menuIndex = entry + (kFirstFactoryEntry - kFactoryTitleEntry);  // the first program of the section
        programMenu->setCurrent(menuIndex, true);
    } else {
        menuIndex = entry;
    }
    const int32_t program = programOfEntry(menuIndex);
    if (program == programIndex) return;
    programIndex = program;
    korvel->editProgram(program);
}

void SDEditor::leaveNameEntry() {
    namingProgram = false;
    programMenu->setShown(true);
    programMenu->setCurrent(menuIndex, true);
    nameField->setShown(false);
    frame->setDirty(true);
}

// Only a name typed after the store command stores.
void SDEditor::programNameEntered() {
    if (!namingProgram || programIndex < kFirstUserProgram || programIndex > kLastUserProgram) return;
    namingProgram = false;
    programMenu->setShown(true);
    char name[ProgramRecord::kNameSize];
    storedName(nameField->textPointer(), name);
    if (CMenuItem* item = programMenu->entryAt(menuIndex)) item->setTitle(name);
    programMenu->setCurrent(menuIndex, true);
    nameField->setShown(false);
    frame->setDirty(true);

    korvel->storeSideB(programIndex, name);
    frame->setDirty(true);
}

void SDEditor::recordUndo(CControl* control) {
    const int32_t tag = control->tag();
    const float before = korvel->getParameter(tag);
    if (control->value() == before) return;  // no change (a step against an end): nothing to undo
    if (control == gestureControl) {
        if (gestureRecorded) return;  // later steps of the same gesture
        gestureRecorded = true;
    }
    undoTag = tag;
    undoValue = before;
}

// Runs once per click: on the release's notification with value 0. The host records it as any
// other change of the parameter; the controls follow through setParameter.
void SDEditor::undo(CControl* button) {
    if (button->value() > 0.5f || undoTag < 0) return;
    korvel->beginEdit(undoTag);
    korvel->setParameterAutomated(undoTag, undoValue);
    korvel->endEdit(undoTag);
}

// Saves the state being heard into the side being left and loads the other side. Pressing the side
// that is on changes nothing: that button stays on.
void SDEditor::switchTo(bool sideA) {
    buttonA->setValue(sideA ? 1.0f : 0.0f);
    buttonB->setValue(sideA ? 0.0f : 1.0f);
    korvel->chooseSide(sideA);
}
