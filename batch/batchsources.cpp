#include "batchsources.h"

#include "batchoptions.h"
#include "folderscan.h"
#include "outputpath.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {
bool isSpreadsheetName(const QString& path)
{
    static const QStringList suffixes{QStringLiteral("ods"), QStringLiteral("ots"),
                                      QStringLiteral("sxc"), QStringLiteral("stc")};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

class Collector {
public:
    explicit Collector(BatchSources& sources) : sources_(sources) {}

    void add(const QString& source, const QString& pdfFolder)
    {
        const QString pdf = OutputPathFor(source, pdfFolder);
        const auto first = firstSourceOf_.constFind(pdf);
        if (first != firstSourceOf_.cend()) {
            problem(source,
                    QStringLiteral("Not converted: %1 gives the same PDF, %2.").arg(*first, pdf));
            return;
        }
        firstSourceOf_.insert(pdf, source);
        sources_.items.append({source, pdf});
    }
    void problem(const QString& source, const QString& message)
    {
        sources_.problems.append({source, message});
    }

private:
    BatchSources& sources_;
    QHash<QString, QString> firstSourceOf_;
};
} // namespace

BatchSources CollectSources(const BatchOptions& options, Dialogs& dialogs,
                            const std::function<void()>& yield)
{
    BatchSources sources;
    Collector collect(sources);
    const bool beside = options.outputDir.isEmpty();
    for (const QString& path : options.paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            QStringList files;
            FolderScan scan(
                dialogs,
                [&files](const QString& file) {
                    if (isSpreadsheetName(file))
                        files << file;
                },
                yield);
            scan.AddFolderTree(path, QStringLiteral("*.*"));
            const QDir top(path);
            for (const QString& file : files) {
                const QString folder = QFileInfo(file).path();
                collect.add(file, beside ? folder
                                         : QDir::cleanPath(options.outputDir + u'/' +
                                                           top.relativeFilePath(folder)));
            }
        } else if (info.isFile()) {
            collect.add(path, beside ? info.path() : options.outputDir);
        } else {
            collect.problem(path, info.exists()
                                      ? QStringLiteral("It is neither a file nor a folder.")
                                      : QStringLiteral("There is no such file or folder."));
        }
    }
    return sources;
}
