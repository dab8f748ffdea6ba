// The widget toolkit the editor is built on, in one include.
//
// An editor derives from VSTGUIEditorInterface (gesture reports, knob mode)
// and CControlListener (controlChanged), and on open:
//
//   CBitmap* background = new CBitmap(130);          // PNG resource by id
//   frame = new CFrame(CRect(0, 0, 607, 383), hostWindow, this);
//   if (!frame->isOpen()) { delete frame; frame = nullptr; ... fail the open }
//   frame->setBackground(background);
//   auto* knob = new CAnimKnob(CRect(46, 60, 84, 98), this, 0, 64, 38, knobStrip);
//   knob->setDefaultValue(0.5f);
//   knob->setValue(currentValue);
//   page->addView(knob);                             // the page owns it now
//   ...
//   background->forget();                            // the frame keeps its reference
//
// The host's idle calls frame->idle(), which handles the window's events and
// repaints whatever was marked dirty; close deletes the frame, which deletes
// every view in it. Values and redraw requests (setValue, setDirty,
// CTextLabel::setText) may come from any thread; everything else, and all
// painting, happens on the thread that opened the frame and calls idle().
//
// Rectangles are (left, top, right, bottom), relative to the container a
// view is added to. Pixels are premultiplied 0xAARRGGBB words. Fonts are
// family names matched by the system ("Arial" is Liberation Sans on Linux)
// at a pixel size.
#pragma once

#include "gui/bitmap.h"
#include "gui/color.h"
#include "gui/control.h"
#include "gui/draw_context.h"
#include "gui/editor_interface.h"
#include "gui/font.h"
#include "gui/frame.h"
#include "gui/geometry.h"
#include "gui/knob.h"
#include "gui/message_dialog.h"
#include "gui/mouse.h"
#include "gui/movie_bitmap.h"
#include "gui/offscreen_context.h"
#include "gui/on_off_button.h"
#include "gui/option_menu.h"
#include "gui/param_display.h"
#include "gui/splash_screen.h"
#include "gui/tab_view.h"
#include "gui/text_label.h"
#include "gui/vertical_switch.h"
#include "gui/view.h"
#include "gui/view_container.h"
