// A read-out that shows a text instead of a value. setText may be called
// from any thread (host automation refreshes labels); the label repaints in
// the frame's idle step.
#pragma once

#include <mutex>
#include <string>

#include "gui/param_display.h"

namespace VSTGUI {

class CTextLabel : public CParamDisplay {
public:
    explicit CTextLabel(const CRect& size, const char* text = "", CBitmap* background = nullptr, int style = 0);

    void setText(const char* text);
    std::string getText() const;

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* type) const override;

private:
    mutable std::mutex text_mutex_;
    std::string text_;
};

}  // namespace VSTGUI
