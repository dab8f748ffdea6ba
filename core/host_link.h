// What the instance asks of its front-end: the host's side of an edit made
// in the editor, the host's idle step, and the editor's refresh when a value
// changes from anywhere. Each front-end translates these into its format.
#pragma once

namespace core {

class host_link {
public:
    // A user's edit, already applied to the instance.
    virtual void perform_host_edit(int index, float value) = 0;
    virtual void begin_host_edit(int index) = 0;
    virtual void end_host_edit(int index) = 0;
    virtual void give_host_idle() = 0;
    // A value changed (host, program, editor): the editor repaints it. Any
    // thread, the audio thread included.
    virtual void value_changed(int index, float value) = 0;

protected:
    ~host_link() = default;
};

}  // namespace core
