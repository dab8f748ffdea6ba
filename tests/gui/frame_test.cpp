// The frame without a window: what it repaints, nesting of coordinates,
// ownership, and redraw requests from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui/frame.h"
#include "gui/text_label.h"

using namespace VSTGUI;

namespace {

// Fills itself with its colour and counts its paints.
class painted_view : public CView {
public:
    painted_view(const CRect& r, CColor c, int* destroyed = nullptr) : CView(r), colour_(c), destroyed_(destroyed) {}
    ~painted_view() override {
        if (destroyed_) ++*destroyed_;
    }
    void draw(CDrawContext* context) override {
        ++paints;
        context->setFillColor(colour_);
        context->fillRect(getViewSize());
    }
    bool onMouseDown(CPoint where, CButtonState) override {
        last_click = where;
        return true;
    }
    int paints = 0;
    CPoint last_click{-1, -1};

private:
    CColor colour_;
    int* destroyed_;
};

constexpr CColor kRed{255, 0, 0, 255};
constexpr CColor kGreen{0, 255, 0, 255};

}  // namespace

TEST(Frame, IdleRepaintsOnlyTheViewsMarkedDirty) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* a = new painted_view(CRect(0, 0, 10, 10), kRed);
    auto* b = new painted_view(CRect(50, 50, 60, 60), kGreen);
    frame.addView(a);
    frame.addView(b);
    frame.idle();
    EXPECT_EQ(a->paints, 1);
    EXPECT_EQ(b->paints, 1);
    frame.idle();  // nothing dirty
    EXPECT_EQ(a->paints, 1);
    a->setDirty();
    frame.idle();
    EXPECT_EQ(a->paints, 2);
    EXPECT_EQ(b->paints, 1);
    EXPECT_EQ(frame.getBackBuffer().pixelAt(55, 55), 0xFF00FF00u);
}

TEST(Frame, HidingAViewUncoversWhatIsBehindIt) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    frame.addView(new painted_view(CRect(0, 0, 100, 100), kGreen));
    auto* top = new painted_view(CRect(10, 10, 20, 20), kRed);
    frame.addView(top);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(15, 15), 0xFFFF0000u);
    top->setVisible(false);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(15, 15), 0xFF00FF00u);
}

TEST(Frame, AViewThatDrawsBeyondItsRectangleDoesNotPaintOverItsNeighbours) {
    class spilling_view : public CView {
    public:
        using CView::CView;
        void draw(CDrawContext* context) override {
            context->setFillColor(kRed);
            context->fillRect(CRect(-10, -10, 200, 200));
        }
    };
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* neighbour = new painted_view(CRect(50, 0, 100, 100), kGreen);
    frame.addView(neighbour);
    frame.addView(new spilling_view(CRect(0, 0, 50, 100)));
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(49, 10), 0xFFFF0000u);
    EXPECT_EQ(frame.getBackBuffer().pixelAt(50, 10), 0xFF00FF00u);
}

TEST(Frame, NestedContainersPlaceAndRouteChildrenRelativeToThemselves) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* outer = new CViewContainer(CRect(10, 20, 90, 90));
    auto* inner = new CViewContainer(CRect(5, 5, 60, 60));
    auto* view = new painted_view(CRect(1, 2, 4, 5), kRed);
    inner->addView(view);
    outer->addView(inner);
    frame.addView(outer);
    frame.idle();
    EXPECT_EQ(view->getFrameRect(), CRect(16, 27, 19, 30));
    EXPECT_EQ(frame.getBackBuffer().pixelAt(16, 27), 0xFFFF0000u);
    EXPECT_EQ(frame.getBackBuffer().pixelAt(15, 27), 0xFFFFFFFFu);
    EXPECT_TRUE(frame.onMouseDown(CPoint(17, 28), kLButton));
    EXPECT_EQ(view->last_click, CPoint(2, 3));
    EXPECT_EQ(view->getFrame(), &frame);
}

TEST(Frame, ChildrenAreDeletedWithTheFrameOrWhenRemoved) {
    int destroyed = 0;
    {
        CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
        auto* container = new CViewContainer(CRect(0, 0, 50, 50));
        container->addView(new painted_view(CRect(0, 0, 5, 5), kRed, &destroyed));
        frame.addView(container);
        auto* removed = new painted_view(CRect(0, 0, 5, 5), kRed, &destroyed);
        frame.addView(removed);
        frame.removeView(removed);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(frame.getNbViews(), 1);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(Frame, HiddenViewsTakeNoMouseAndTheTopmostViewWins) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* below = new painted_view(CRect(0, 0, 50, 50), kRed);
    auto* above = new painted_view(CRect(0, 0, 50, 50), kGreen);
    frame.addView(below);
    frame.addView(above);
    frame.onMouseDown(CPoint(5, 5), kLButton);
    EXPECT_EQ(above->last_click, CPoint(5, 5));
    above->setVisible(false);
    frame.onMouseDown(CPoint(6, 6), kLButton);
    EXPECT_EQ(below->last_click, CPoint(6, 6));
    EXPECT_FALSE(frame.onMouseDown(CPoint(70, 70), kLButton));
}

TEST(Frame, RedrawRequestsFromAnotherThreadArePaintedByIdle) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* label = new CTextLabel(CRect(0, 0, 100, 20), "");
    auto* control = new CControl(CRect(0, 50, 10, 60));
    frame.addView(label);
    frame.addView(control);
    frame.idle();
    std::atomic<bool> done{false};
    std::thread automation([&] {
        for (int i = 0; i <= 2000; ++i) {
            control->setValue(float(i % 2));
            label->setText(i % 2 ? "odd" : "even");
            control->invalid();
        }
        done = true;
    });
    while (!done) frame.idle();
    automation.join();
    frame.idle();
    EXPECT_EQ(label->getText(), "even");
    EXPECT_FALSE(label->isDirty());
    EXPECT_FALSE(control->isDirty());
}

TEST(Frame, AModalViewIsDrawnOnTopAndAloneTakesTheMouse) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* view = new painted_view(CRect(0, 0, 100, 100), kRed);
    frame.addView(view);
    painted_view modal(CRect(20, 20, 40, 40), kGreen);
    frame.setModalView(&modal);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(30, 30), 0xFF00FF00u);
    EXPECT_TRUE(frame.onMouseDown(CPoint(5, 5), kLButton));
    EXPECT_EQ(view->last_click, CPoint(-1, -1));
    frame.onMouseDown(CPoint(25, 25), kLButton);
    EXPECT_EQ(modal.last_click, CPoint(25, 25));
    frame.setModalView(nullptr);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(30, 30), 0xFFFF0000u);
    frame.onMouseDown(CPoint(5, 5), kLButton);
    EXPECT_EQ(view->last_click, CPoint(5, 5));
}
