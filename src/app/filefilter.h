#pragma once
#include <QString>
#include <QStringView>

namespace sentrel {

// A filter written "Text File (*.txt)|*.txt|Any File (*.*)|*.*" (description
// and pattern pairs) as a Qt file dialog takes it: "Text File (*.txt);;Any
// File (*.*)". A description without its pattern in parentheses gets it
// added, so the dialog still filters.
QString qtFileFilter(QStringView pairs);

} // namespace sentrel
