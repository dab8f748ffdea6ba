// Option menus, tab views and the splash control: the views that open over
// others or switch pages.
#include <gtest/gtest.h>

#include "gui/frame.h"
#include "gui/on_off_button.h"
#include "gui/option_menu.h"
#include "gui/option_menu_list.h"
#include "gui/splash_screen.h"
#include "gui/tab_view.h"
#include "recording_editor.h"
#include "test_images.h"

using namespace VSTGUI;
using Log = std::vector<std::string>;

namespace {

CBitmap* png_bitmap(const std::vector<unsigned char>& bytes) { return new CBitmap(bytes.data(), bytes.size()); }

void click(CFrame& frame, CPoint where) {
    frame.onMouseDown(where, kLButton);
    frame.onMouseUp(where, kLButton);
}

}  // namespace

class OptionMenu : public ::testing::Test {
protected:
    gui_test::recording_editor editor;
    CFrame frame{CRect(0, 0, 300, 200), nullptr, &editor};

    COptionMenu* addMenu(CRect where) {
        auto* menu = new COptionMenu(where, &editor, 31, nullptr, kCheckStyle);
        for (const char* e : {"512 samples", "1024 samples", "2048 samples", "4096 samples", "8192 samples",
                              "16384 samples", "32768 samples", "65536 samples"})
            menu->addEntry(e);
        menu->setFont(CFontDesc("Arial", 11));
        frame.addView(menu);
        return menu;
    }
    const detail::option_menu_list& list() const {
        return *static_cast<const detail::option_menu_list*>(frame.getModalView());
    }
};

TEST_F(OptionMenu, ClickingAnEntryOfItsListSelectsItAndTellsTheListener) {
    COptionMenu* menu = addMenu(CRect(200, 20, 290, 34));
    menu->setCurrent(4);
    click(frame, CPoint(210, 25));
    ASSERT_TRUE(menu->isListOpen());
    const CRect box = list().box();
    EXPECT_EQ(box.top, 34);  // room below the field
    EXPECT_EQ(box.height(), 8 * COptionMenu::kEntryHeight + 2);
    EXPECT_LE(box.right, 300);
    click(frame, CPoint(box.left + 20, box.top + 1 + 2 * COptionMenu::kEntryHeight + 5));
    EXPECT_FALSE(menu->isListOpen());
    EXPECT_EQ(menu->getCurrent(), 2);
    EXPECT_FLOAT_EQ(menu->getValue(), 2.0f);
    EXPECT_EQ(editor.log, (Log{"begin 31", "changed 31", "end 31"}));  // one gesture
}

TEST_F(OptionMenu, ClickingOutsideTheListClosesItUnchanged) {
    COptionMenu* menu = addMenu(CRect(200, 20, 290, 34));
    click(frame, CPoint(210, 25));
    click(frame, CPoint(5, 195));
    EXPECT_FALSE(menu->isListOpen());
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_TRUE(editor.log.empty());
}

TEST_F(OptionMenu, TheListOpensUpwardsWhenThereIsNoRoomBelow) {
    addMenu(CRect(200, 150, 290, 164));
    click(frame, CPoint(210, 155));
    EXPECT_EQ(list().box().bottom, 150);
}

// So does any entry checked on its own, as in a menu of several settings.
TEST_F(OptionMenu, TheCurrentEntryAndEntriesCheckedOnTheirOwnCarryACheckMark) {
    COptionMenu* menu = addMenu(CRect(0, 0, 90, 14));
    menu->setCurrent(1);
    menu->setChecked(6, true);
    click(frame, CPoint(5, 5));
    frame.idle();
    const CRect box = list().box();
    auto check_ink = [&](int entry) {
        const int top = box.top + 1 + entry * COptionMenu::kEntryHeight;
        return gui_test::ink_box(frame.getBackBuffer(), CRect(box.left + 1, top, box.left + 13, top + 14), 0xFFFFFFFFu);
    };
    EXPECT_FALSE(check_ink(1).isEmpty());
    EXPECT_TRUE(check_ink(3).isEmpty());
    EXPECT_FALSE(check_ink(6).isEmpty());
}

TEST_F(OptionMenu, TheEntryUnderThePointerIsHighlightedWithNoButtonHeld) {
    addMenu(CRect(0, 0, 90, 14));
    click(frame, CPoint(5, 5));
    frame.idle();
    const CRect box = list().box();
    const auto row = [&](int entry) {
        const int top = box.top + 1 + entry * COptionMenu::kEntryHeight;
        return CRect(box.left + 20, top, box.right - 2, top + COptionMenu::kEntryHeight);
    };
    const auto background_of = [&](int entry) {
        return frame.getBackBuffer().pixelAt(row(entry).right - 3, row(entry).top + 1);
    };
    const std::uint32_t plain = background_of(5);
    frame.onMouseMoved(CPoint(box.left + 30, row(5).top + 5), 0);
    frame.idle();
    EXPECT_NE(background_of(5), plain);
    frame.onMouseMoved(CPoint(box.left + 30, row(2).top + 5), 0);
    frame.idle();
    EXPECT_EQ(background_of(5), plain);
    EXPECT_NE(background_of(2), plain);
}

TEST_F(OptionMenu, OutOfRangeSelectionsAreIgnored) {
    COptionMenu* menu = addMenu(CRect(0, 0, 90, 14));
    menu->setCurrent(3);
    menu->setCurrent(8);
    menu->setCurrent(-1);
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_STREQ(menu->getEntry(8), "");
}

namespace {

class recording_tab_view : public CTabView {
public:
    using CTabView::CTabView;
    bool selectTab(int index) override {
        requests.push_back(index);
        return CTabView::selectTab(index);
    }
    std::vector<int> requests;
};

}  // namespace

class TabView : public ::testing::Test {
protected:
    CFrame frame{CRect(0, 0, 400, 200), nullptr, nullptr};
    CBitmap* tabs = png_bitmap(gui_test::strip_png(22, 13, 2));

    ~TabView() override { tabs->forget(); }

    recording_tab_view* addTabView(CTabView::TabPosition position, int pages) {
        auto* view = new recording_tab_view(CRect(137, 20, 462 - 100, 132), tabs, nullptr, position);
        for (int i = 0; i < pages; ++i)
            view->addTab(new CViewContainer(view->getContentRect()), std::to_string(i + 1).c_str());
        frame.addView(view);
        return view;
    }
};

TEST_F(TabView, ClickingATabGoesThroughTheOverridableSelection) {
    recording_tab_view* view = addTabView(CTabView::kPositionBottom, 5);
    EXPECT_EQ(view->getCurrentSelectedTab(), 0);
    view->requests.clear();
    // Tabs along the bottom from the left: the third tab spans x 44..66 of the view.
    click(frame, CPoint(137 + 50, 132 - 5));
    EXPECT_EQ(view->requests, (std::vector<int>{2}));
    EXPECT_EQ(view->getCurrentSelectedTab(), 2);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(view->getTab(i)->isVisible(), i == 2);
    EXPECT_FALSE(view->selectTab(5));
}

TEST_F(TabView, PagesCoverEverythingButTheRowOfTabs) {
    recording_tab_view* bottom = addTabView(CTabView::kPositionBottom, 1);
    EXPECT_EQ(bottom->getContentRect(), CRect(0, 0, 225, 112 - 13));
    recording_tab_view* top = addTabView(CTabView::kPositionTop, 1);
    EXPECT_EQ(top->getContentRect(), CRect(0, 13, 225, 112));
}

TEST_F(TabView, ACentredRowOfTabsSitsInTheMiddle) {
    recording_tab_view* view = addTabView(CTabView::kPositionTop, 2);
    view->alignTabs(CTabView::kAlignCenter);
    view->requests.clear();
    const int middle = 137 + 225 / 2;
    click(frame, CPoint(middle - 21, 25));  // just inside the first tab
    click(frame, CPoint(middle + 21, 25));  // just inside the second
    click(frame, CPoint(middle - 30, 25));  // left of the row: no tab
    EXPECT_EQ(view->requests, (std::vector<int>{0, 1}));
}

TEST_F(TabView, TitlesUseTheSelectedAndUnselectedColours) {
    recording_tab_view* view = addTabView(CTabView::kPositionTop, 2);
    view->setTabFontStyle(CFontDesc("Arial", 9));
    view->setTabFontColors(CColor{255, 0, 0, 255}, CColor{0, 255, 0, 255});
    frame.idle();
    // The tab bitmap is black: any red or green is title ink.
    auto has_ink = [&](CRect area, int shift) {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (((frame.getBackBuffer().pixelAt(x, y) >> shift) & 0xFF) > 100) return true;
        return false;
    };
    EXPECT_TRUE(has_ink(CRect(137, 20, 159, 33), 16));  // selected: red
    EXPECT_FALSE(has_ink(CRect(137, 20, 159, 33), 8));
    EXPECT_TRUE(has_ink(CRect(159, 20, 181, 33), 8));  // unselected: green
    EXPECT_FALSE(has_ink(CRect(159, 20, 181, 33), 16));
}

class SplashScreen : public ::testing::Test {
protected:
    gui_test::recording_editor editor;
    CFrame frame{CRect(0, 0, 607, 383), nullptr, &editor};
    CBitmap* about = png_bitmap(gui_test::solid_png(350, 100, {0, 0, 255, 255}));
    CSplashScreen* splash = nullptr;
    CControl* under = nullptr;

    void SetUp() override {
        under = new COnOffButton(CRect(100, 150, 500, 300), &editor, 7, nullptr);
        frame.addView(under);
        splash = new CSplashScreen(CRect(526, 156, 603, 167), &editor, 28, about, CRect(128, 191, 478, 291));
        about->forget();
        frame.addView(splash);
    }
};

TEST_F(SplashScreen, AClickShowsTheViewAsTheModalViewAndAClickOnItHidesIt) {
    click(frame, CPoint(530, 160));
    EXPECT_TRUE(splash->isShown());
    EXPECT_EQ(frame.getModalView(), splash->getSplashView());
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(200, 200), 0xFF0000FFu);
    click(frame, CPoint(200, 200));
    EXPECT_FALSE(splash->isShown());
    EXPECT_EQ(frame.getModalView(), nullptr);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(200, 200), 0xFFFFFFFFu);
    EXPECT_EQ(editor.log, (Log{"changed 28", "changed 28"}));
}

TEST_F(SplashScreen, NothingElseTakesTheMouseWhileTheViewIsShown) {
    click(frame, CPoint(530, 160));
    click(frame, CPoint(110, 160));  // over `under`, outside the view
    EXPECT_FLOAT_EQ(under->getValue(), 0.0f);
    EXPECT_EQ(editor.log, (Log{"changed 28"}));
    frame.onMouseDown(CPoint(200, 200), kRButton);
    EXPECT_TRUE(splash->isShown());
}

namespace {

class own_view : public CControl {
public:
    own_view(const CRect& r, CControlListener* l) : CControl(r, l, 0) {}
    bool onMouseDown(CPoint, CButtonState buttons) override {
        if (!(buttons & kLButton)) return false;
        valueChanged();
        return true;
    }
};

class own_splash : public CSplashScreen {
public:
    own_splash(const CRect& r, CControlListener* l, const CRect& area) : CSplashScreen(r, l, 28, nullptr, area) {
        setSplashView(new own_view(area, this));
    }
};

}  // namespace

TEST_F(SplashScreen, ASubclassCanShowItsOwnViewAndOtherButtonsLeaveItShown) {
    auto* custom = new own_splash(CRect(0, 0, 10, 10), &editor, CRect(50, 50, 60, 60));
    frame.addView(custom);
    click(frame, CPoint(5, 5));
    ASSERT_TRUE(custom->isShown());
    EXPECT_TRUE(dynamic_cast<own_view*>(custom->getSplashView()));
    frame.onMouseDown(CPoint(55, 55), kRButton);
    EXPECT_TRUE(custom->isShown());
    click(frame, CPoint(55, 55));
    EXPECT_FALSE(custom->isShown());
}

TEST_F(SplashScreen, DeletingTheFrameWhileTheViewIsShownIsSafe) {
    auto* other = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* s = new CSplashScreen(CRect(0, 0, 10, 10), nullptr, 28, nullptr, CRect(20, 20, 40, 40));
    other->addView(s);
    click(*other, CPoint(5, 5));
    EXPECT_TRUE(s->isShown());
    delete other;  // ASan reports any use of the freed view
}
