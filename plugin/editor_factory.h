// The plug-in's editor, made where plugin/ need not see the toolkit
// (editor/editor_factory_sd.cpp).
#pragma once

class AEffEditor;
class VST_Plugin;

AEffEditor* create_editor(VST_Plugin* plugin);
