#pragma once

#include <windows.h>

#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

#include "CDragContainer.h"
#include "ViewTypes.h"

namespace Toolkit {

class CFrame;

// The items of an OLE data object: its Unicode text, or its file names with shortcuts (".lnk")
// replaced by their targets; all as UTF-8. Read once, when the container is made.
class WinDragContainer : public CDragContainer {
public:
    explicit WinDragContainer(IDataObject* data);

    int32_t count() const override;
    const char* item(int32_t index, ItemType& type) override;

private:
    void readFiles(IDataObject* data);
    void readText(IDataObject* data);

    ItemType kind = ItemType::Unknown;
    std::vector<std::string> items;
};

// The frame window's OLE drop target: hands drags over the window to the frame, in frame
// coordinates, with the dragged data as a WinDragContainer.
class CDropTarget : public IDropTarget {
public:
    CDropTarget(CFrame& frame, HWND window);
    virtual ~CDropTarget() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) override;

private:
    // The screen point in frame (window client) coordinates.
    ViewPoint framePoint(POINTL where) const;

    LONG references = 1;
    CFrame& frame;
    HWND window;
    // The drag in progress, between enter and leave or drop.
    std::unique_ptr<WinDragContainer> drag;
};

}  // namespace Toolkit
