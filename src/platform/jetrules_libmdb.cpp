#include "platform/jetrules.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <iconv.h>
#include <mdbtools.h>

using namespace Qt::StringLiterals;

namespace JetRules {

namespace {

using Rules = Result<QList<Rule>>;

// libmdb reads its character sets from the environment when a file is opened.
class CharsetEnvironment {
public:
    explicit CharsetEnvironment(bool rawBytes)
    {
        if (rawBytes) {
            // Latin-1 to Latin-1 hands every byte over as it is; the code page is decoded here.
            ::setenv("MDB_JET3_CHARSET", "ISO-8859-1", 1);
            ::setenv("MDBICONV", "ISO-8859-1", 1);
        } else {
            ::unsetenv("MDB_JET3_CHARSET");
            ::setenv("MDBICONV", "UTF-8", 1);
        }
    }
    ~CharsetEnvironment()
    {
        ::unsetenv("MDB_JET3_CHARSET");
        ::unsetenv("MDBICONV");
    }
};

struct Handle {
    MdbHandle *mdb = nullptr;
    ~Handle()
    {
        if (mdb) {
            mdb_close(mdb);
        }
    }
};

struct Table {
    MdbTableDef *table = nullptr;
    ~Table()
    {
        if (table) {
            mdb_free_tabledef(table);
        }
    }
};

// Bytes in codePage to text; nothing when a byte sequence is not of the code page.
std::optional<QString> decodeStrictly(const QByteArray &bytes, const QString &codePage)
{
    iconv_t cd = iconv_open("UTF-8", codePage.toLatin1().constData());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    QByteArray output(bytes.size() * 4 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1) && inLeft == 0;
    iconv_close(cd);
    if (!ok) {
        return std::nullopt;
    }
    output.truncate(output.size() - qsizetype(outLeft));
    return QString::fromUtf8(output);
}

int columnIndex(MdbTableDef *table, const char *name)
{
    for (unsigned int i = 0; i < table->num_cols; ++i) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        if (g_ascii_strcasecmp(column->name, name) == 0) {
            return int(i);
        }
    }
    return -1;
}

} // namespace

bool isJetFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray header = file.read(20);
    return header.size() == 20 && header.mid(4, 15) == QByteArrayLiteral("Standard Jet DB");
}

Rules read(const QString &path, const QString &jet3CodePage)
{
    if (!isJetFile(path)) {
        return Rules::failure(u"Jet データベースではありません"_s);
    }
    const QByteArray name = QFile::encodeName(path);
    bool jet3 = false;
    {
        const CharsetEnvironment unicode(false);
        Handle probe{mdb_open(name.constData(), MDB_NOFLAGS)};
        if (!probe.mdb) {
            return Rules::failure(u"データベースとして開けません"_s);
        }
        jet3 = probe.mdb->f->jet_version == MDB_VER_JET3;
    }
    const CharsetEnvironment charsets(jet3);
    Handle handle{mdb_open(name.constData(), MDB_NOFLAGS)};
    if (!handle.mdb) {
        return Rules::failure(u"データベースとして開けません"_s);
    }
    if (!mdb_read_catalog(handle.mdb, MDB_TABLE)) {
        return Rules::failure(u"ファイルが壊れているか、途中で切れています (表の一覧を読めません)"_s);
    }
    char tableName[] = "FileList";
    Table table{mdb_read_table_by_name(handle.mdb, tableName, MDB_TABLE)};
    if (!table.table) {
        return Rules::failure(u"表 FileList がありません"_s);
    }
    if (!mdb_read_columns(table.table)) {
        return Rules::failure(u"表 FileList の列を読めません"_s);
    }
    const int columns[2] = {columnIndex(table.table, "FileName"), columnIndex(table.table, "BatFile")};
    for (int i : {0, 1}) {
        if (columns[i] < 0) {
            return Rules::failure(u"表 FileList に列 %1 がありません"_s.arg(i == 0 ? u"FileName"_s : u"BatFile"_s));
        }
    }
    mdb_rewind_table(table.table);
    std::vector<char> buffers[2] = {std::vector<char>(MDB_BIND_SIZE), std::vector<char>(MDB_BIND_SIZE)};
    int lengths[2] = {0, 0};
    for (int i : {0, 1}) {
        mdb_bind_column(table.table, columns[i] + 1, buffers[i].data(), &lengths[i]);
    }

    QList<Rule> rules;
    while (mdb_fetch_row(table.table)) {
        // The bound values cannot tell Null from an empty text; the row itself can.
        int start = 0;
        size_t size = 0;
        std::vector<MdbField> fields(MDB_MAX_COLS);
        if (mdb_find_row(handle.mdb, int(table.table->cur_row) - 1, &start, &size) != 0) {
            return Rules::failure(u"%1 行目を読めません"_s.arg(rules.size() + 1));
        }
        const int count = mdb_crack_row(table.table, start & 0x1fff, size, fields.data());
        QVariant values[2];
        for (int i : {0, 1}) {
            bool isNull = false;
            for (int f = 0; f < count; ++f) {
                if (fields[size_t(f)].colnum == columns[i]) {
                    isNull = fields[size_t(f)].is_null;
                }
            }
            if (isNull) {
                values[i] = QVariant(QMetaType::fromType<QString>());
                continue;
            }
            const QByteArray bytes(buffers[i].data(), lengths[i]);
            if (jet3) {
                const std::optional<QString> text = decodeStrictly(bytes, jet3CodePage);
                if (!text) {
                    return Rules::failure(u"%1 行目の %2 はコードページ %3 の文字ではありません"_s.arg(rules.size() + 1)
                                              .arg(i == 0 ? u"FileName"_s : u"BatFile"_s, jet3CodePage));
                }
                values[i] = *text;
            } else {
                values[i] = QString::fromUtf8(bytes);
            }
        }
        rules.append({values[0], values[1]});
    }
    return rules;
}

} // namespace JetRules
