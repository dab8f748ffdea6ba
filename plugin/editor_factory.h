// The editor a platform can show; the build picks the implementation.
#pragma once

class AEffEditor;
class VST_Plugin;

// Null where the toolkit has no window backend yet.
AEffEditor* create_editor(VST_Plugin* plugin);
