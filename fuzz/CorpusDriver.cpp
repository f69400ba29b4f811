// Runs a harness over files instead of fuzzing: each argument is a file or a folder of files,
// and every file is one input. Linked in place of libFuzzer so that the seed corpora run as
// plain tests with any compiler; a contract breach aborts the process and fails the test.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool runFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = f.readAll();
    std::fprintf(stderr, "%s\n", qPrintable(path)); // names the input before a breach aborts
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           size_t(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(argv[i]));
        QStringList files;
        if (info.isDir()) {
            for (const QString& name : QDir(info.filePath()).entryList(QDir::Files, QDir::Name))
                files << info.filePath() + QLatin1Char('/') + name;
        } else {
            files << info.filePath();
        }
        for (const QString& file : files) {
            ok = runFile(file) && ok;
            ++inputs;
        }
    }
    std::printf("%d inputs\n", inputs);
    return ok && inputs > 0 ? 0 : 1;
}
