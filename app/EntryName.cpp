#include "app/EntryName.h"

#include <QCoreApplication>
#include <charconv>

#include "app/PathText.h"
#include "sizetree/SizeTree.h"

namespace {

// N of the tree's own name "[N smaller files]".
uint64_t SmallerFilesCount(const std::string& name)
{
    uint64_t n = 0;
    if (name.size() > 1)
        std::from_chars(name.data() + 1, name.data() + name.size(), n);
    return n;
}

QString Utf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QString SmallerFilesText(uint64_t count)
{
    return QCoreApplication::translate("EntryName", "[%n smaller files]", nullptr, static_cast<int>(count));
}

QString EntryNameText(const TTreeEntry& e)
{
    if (e.IsFiles())
        return Utf8(std::string(kFilesName));
    if (e.IsSmallerFiles())
        return SmallerFilesText(SmallerFilesCount(e.Name()));
    return PathText(e.Name());
}

QString EntryCaptionText(const TTreeEntry& e)
{
    const std::string& caption = e.Caption();
    if (!e.IsSmallerFiles() || !caption.ends_with(e.Name()))
        return Utf8(caption);
    return Utf8(caption.substr(0, caption.size() - e.Name().size())) + EntryNameText(e);
}

QString EntryPlaceText(const TTreeEntry& e)
{
    const QString path = PathText(e.Path());
    if (!e.IsSmallerFiles())
        return path;
    return path + (path.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + EntryNameText(e);
}
