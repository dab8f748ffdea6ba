#include "plugin/editor_factory.h"

// No window backend on this platform yet: the instance has no editor.
AEffEditor* create_editor(VST_Plugin*) { return nullptr; }
