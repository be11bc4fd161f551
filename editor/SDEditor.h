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
// COPY (12), A (13) and B (14) on the background bitmap. User changes of tags 0 to 5 are automated;
// the menus and UNDO set their parameter plainly. The program menu's choice survives closing.
class SDEditor : public AEffGUIEditor, public Toolkit::CControlListener {
public:
    static constexpr int kSliderCount = 6;

    explicit SDEditor(Korvel* effect);
    ~SDEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    void setParameter(VstInt32 index, float value) override;
    void valueChanged(Toolkit::CControl* control) override;

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
    void undo(Toolkit::CControl* button);
    void copy();
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
    Toolkit::CControl* lastControl = nullptr;
};
