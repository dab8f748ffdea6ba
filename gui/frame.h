// The top container: the editor's whole window. Created with its rectangle,
// the host's parent window (an X11 Window id on Linux, an HWND on Windows)
// and the editor; it creates its own child window in the parent. A null
// parent gives a frame without a window, which paints only into its back
// buffer (tests, offscreen use).
//
//   frame = new CFrame(CRect(0, 0, 607, 383), parentWindow, this);
//   if (!frame->isOpen()) { delete frame; frame = nullptr; return false; }
//   frame->setBackground(background);
//   frame->addView(knob);                  // owned by the frame from now on
//   ...  effEditIdle:  frame->idle();
//   ...  effEditClose: delete frame; frame = nullptr;
//
// Always double-buffered: idle() handles the pending window events, then
// repaints every area marked dirty (from any thread) into the back buffer
// and shows those areas in the window. All of it runs on the thread that
// calls idle(), which must be the thread that created the frame.
//
// A second left press from the window soon after the first and close to
// it comes with kDoubleClick.
//
// The frame may draw at a scale (see draw_context.h): its views and their
// coordinates stay logical, its window and back buffer are device size, and
// the window's pointer positions are mapped back to logical ones.
//
// A modal view (the about view, a menu's list) is drawn over everything and
// is the only view that gets mouse input while it is set; it stays owned by
// whoever set it.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "gui/editor_interface.h"
#include "gui/native_window.h"
#include "gui/offscreen_context.h"
#include "gui/view_container.h"

namespace VSTGUI {

class CFrame : public CViewContainer, private detail::window_event_sink {
public:
    // `size` is logical; the window is `scale` times as large.
    CFrame(const CRect& size, void* parent_window, VSTGUIEditorInterface* editor, double scale = 1.0);
    ~CFrame() override;

    // True when the frame's window exists in the parent window.
    bool isOpen() const { return window_ != nullptr; }
    // The frame's own window (an X11 Window id, an HWND); null when not open.
    void* getWindowHandle() const;
    // The descriptor to watch for the window's events; -1 when there is none.
    int getEventDescriptor() const;
    VSTGUIEditorInterface* getEditor() const { return editor_; }

    void idle();

    // Null hides the current modal view. The view's rectangle is in frame
    // coordinates; the mouse reaches it only inside that rectangle.
    void setModalView(CView* view);
    CView* getModalView() const { return modal_view_; }

    // Marks `area` (frame coordinates) for repainting; editor thread.
    void invalidRect(const CRect& area);

    // The picture as last painted, in device pixels.
    const COffscreenContext& getBackBuffer() const { return *back_buffer_; }

    // Resizes the window and back buffer and repaints everything at `scale`.
    void setScale(double scale);
    double getScale() const { return back_buffer_->getScale(); }

    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool onMouseUp(CPoint where, CButtonState buttons) override;
    bool onMouseMoved(CPoint where, CButtonState buttons) override;
    bool onWheel(CPoint where, float distance, CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;

private:
    void paintDirtyAreas();
    CPoint logical(CPoint device) const;

    void onWindowMouseDown(CPoint where, CButtonState buttons) override;
    void onWindowMouseUp(CPoint where, CButtonState buttons) override;
    void onWindowMouseMoved(CPoint where, CButtonState buttons) override;
    void onWindowWheel(CPoint where, float distance, CButtonState buttons) override;
    void onWindowMouseLeft() override;
    void onWindowExposed(const CRect& area) override;

    VSTGUIEditorInterface* editor_;
    std::unique_ptr<COffscreenContext> back_buffer_;
    std::unique_ptr<detail::native_window> window_;
    std::vector<CRect> pending_areas_;
    CView* modal_view_ = nullptr;
    CView* modal_mouse_target_ = nullptr;
    // The last left press from the window, to tell a double-click.
    std::chrono::steady_clock::time_point last_press_time_;
    CPoint last_press_point_;
    bool last_press_double_ = false;
};

}  // namespace VSTGUI
