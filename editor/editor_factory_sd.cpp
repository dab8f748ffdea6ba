#include "editor/sd_editor.h"
#include "plugin/editor_factory.h"

AEffEditor* create_editor(VST_Plugin* plugin) { return new SDEditor(plugin); }
