#pragma once

#include <QString>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace kelvane::testing {

// The child of `in` named `name`; a test that names a widget the view does
// not have fails at once, with the name.
template <typename W = QWidget> W& findWidget(const QObject& in, const std::string& name)
{
    W* found = in.findChild<W*>(QString::fromStdString(name));
    if (!found)
        throw std::runtime_error("no widget named " + name);
    return *found;
}

} // namespace kelvane::testing
