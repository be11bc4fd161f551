#pragma once

#include "AEffGUIEditor.h"
#include "CControlListener.h"

namespace Toolkit {
class CBitmap;
class CControl;
class COnOffButton;
class COptionMenu;
class CTextEdit;
class CKickButton;
}  // namespace Toolkit
class CParamDisplayA;
class CVerticalSliderA;
class Korvel;

// Korvel's panel: six sliders with their value displays (tags 0 to 5), the oversampling (6) and
// channel-mode (7) menus, the program menu (9) with its name field (10), and the buttons UNDO (11),
// COPY (12), A (13) and B (14) on the background bitmap. User changes of tags 0 to 5 and UNDO are
// automated; the menus set their parameter plainly. The program menu's choice survives closing.
class SDEditor : public AEffGUIEditor, public Toolkit::CControlListener {
public:
    static constexpr int kSliderCount = 6;

    explicit SDEditor(Korvel* effect);
    ~SDEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    void setParameter(VstInt32 index, float value) override;
    void valueChanged(Toolkit::CControl* control) override;
    void editBegan(Toolkit::CControl* control) override;
    void editEnded(Toolkit::CControl* control) override;

    int32_t currentProgramIndex() const { return programIndex; }
    int32_t currentMenuIndex() const { return menuIndex; }

protected:
    void showParameter(VstInt32 index) override;

private:
    void buildSliders(Toolkit::CBitmap* handle, Toolkit::CBitmap* track, Toolkit::CBitmap* valveTrack);
    void buildDisplays(Toolkit::CBitmap* background);
    void buildMenus();
    void fillProgramMenu();
    void programChosen();
    void programNameEntered();
    // Leaves the name entry without storing anything.
    void leaveNameEntry();
    // Takes over a program the host chose since (effSetProgram) as the menu's current program.
    void followHostProgram();
    // Remembers what a user change of a parameter is about to replace, for UNDO.
    void recordUndo(Toolkit::CControl* control);
    void undo(Toolkit::CControl* button);
    void switchTo(bool sideA);

    Korvel* korvel;
    Toolkit::CFrame* building = nullptr;  // the frame while open() fills it
    Toolkit::CBitmap* background;
    CVerticalSliderA* sliders[kSliderCount] = {};
    CParamDisplayA* displays[kSliderCount] = {};
    Toolkit::CTextEdit* nameField = nullptr;
    Toolkit::COptionMenu* channelMenu = nullptr;
    Toolkit::COptionMenu* programMenu = nullptr;
    Toolkit::CKickButton* undoButton = nullptr;
    Toolkit::CKickButton* copyButton = nullptr;
    Toolkit::COnOffButton* buttonA = nullptr;
    Toolkit::COnOffButton* buttonB = nullptr;
    Toolkit::COptionMenu* oversamplingMenu = nullptr;
    int32_t programIndex = 0;
    int32_t menuIndex = 2;
    bool namingProgram = false;  // the name field shows in place of the menu for a store

    // UNDO puts back one parameter's value from before the last user change. A gesture (press to
    // release, a wheel step, a typed value) is one change: its first value change records.
    int32_t undoTag = -1;
    float undoValue = 0.0f;
    Toolkit::CControl* gestureControl = nullptr;  // a parameter control in a gesture
    bool gestureRecorded = false;
};
