#include "kit_Error.h"

namespace kit {

QString errorMessage(const std::exception &e)
{
    if (const auto *own = dynamic_cast<const Error *>(&e))
        return own->message();
    return QString::fromLocal8Bit(e.what());
}

} // namespace kit
