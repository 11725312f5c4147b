#include "platform/types.hpp"

namespace platform {

const char* Name(Form f) {
    switch (f) {
        case Form::Main:
            return "Main";
        case Form::Shadow:
            return "Shadow";
        case Form::Txt:
            return "Txt";
    }
    return "?";
}

const char* Name(Surface s) {
    switch (s) {
        case Surface::Main:
            return "Main";
        case Surface::Picture1:
            return "Picture1";
    }
    return "?";
}

}  // namespace platform
