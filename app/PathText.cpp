#include "app/PathText.h"

#include <QFile>

QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}
