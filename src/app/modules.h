#pragma once
// The composition root: the subsystems' modules that the main window hosts.
// A new subsystem adds one line for its module to the list in modules.cpp;
// nothing else outside its own folders and its library lines in
// CMakeLists.txt.

#include "shell/ui/host.h"

#include <memory>
#include <stdexcept>
#include <vector>

namespace torvika {

class TGeneral_Form;

// Every module of the program; they must outlive the main window's run.
class Modules {
public:
    Modules();
    ~Modules();

    // Installs them into the main window, in the order of the list.
    void installInto(TGeneral_Form& form);

    // The module of type M (for tests).
    template <typename M> M& get() const {
        for (const std::unique_ptr<Module>& m : list_)
            if (auto* found = dynamic_cast<M*>(m.get()))
                return *found;
        throw std::logic_error("no such module");
    }

private:
    std::vector<std::unique_ptr<Module>> list_;
};

} // namespace torvika
