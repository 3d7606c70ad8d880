#include "options/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <utility>
#include <vector>

namespace scrivlet::options {

namespace {

struct Node
{
    QString name;
    QList<RegistryValue> values;
    std::vector<Node> keys; // in case-insensitive order of their names
};

constexpr std::pair<quint32, const char *> kRoots[] = {
    {hkey::ClassesRoot, "HKEY_CLASSES_ROOT"},
    {hkey::CurrentUser, "HKEY_CURRENT_USER"},
    {hkey::LocalMachine, "HKEY_LOCAL_MACHINE"},
    {hkey::Users, "HKEY_USERS"},
};

const char *rootName(quint32 root)
{
    for (const auto &[handle, name] : kRoots) {
        if (handle == root)
            return name;
    }
    return nullptr;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The names of a path, or nothing when it is not one: "" is the root, a leading "\" or an
// empty name between two "\" is no path.
std::optional<QStringList> splitPath(const QString &path)
{
    if (path.isEmpty())
        return QStringList();
    const QStringList names = path.split(u'\\');
    if (std::any_of(names.begin(), names.end(), [](const QString &n) { return n.isEmpty(); }))
        return std::nullopt;
    return names;
}

Node *child(Node &node, const QString &name)
{
    for (Node &k : node.keys) {
        if (sameName(k.name, name))
            return &k;
    }
    return nullptr;
}

Node *find(Node &root, const QStringList &names)
{
    Node *node = &root;
    for (const QString &name : names) {
        node = child(*node, name);
        if (!node)
            return nullptr;
    }
    return node;
}

Node *findOrCreate(Node &root, const QStringList &names)
{
    Node *node = &root;
    for (const QString &name : names) {
        Node *next = child(*node, name);
        if (!next) {
            auto at = std::lower_bound(node->keys.begin(), node->keys.end(), name,
                                       [](const Node &k, const QString &n) {
                                           return k.name.compare(n, Qt::CaseInsensitive) < 0;
                                       });
            next = &*node->keys.insert(at, Node{name, {}, {}});
        }
        node = next;
    }
    return node;
}

// A string value is kept readable in the file when it is text with its one closing NUL;
// anything else is kept as base64.
QJsonObject valueToJson(const RegistryValue &v)
{
    QJsonObject o{{QStringLiteral("name"), v.name}, {QStringLiteral("type"), qint64(v.type)}};
    const bool plain = v.type == regtype::String && v.data.endsWith('\0') &&
                       v.data.indexOf('\0') == v.data.size() - 1;
    const QString text = plain ? QString::fromUtf8(v.data.chopped(1)) : QString();
    if (plain && text.toUtf8() == v.data.chopped(1))
        o.insert(QStringLiteral("text"), text);
    else
        o.insert(QStringLiteral("data"), QString::fromLatin1(v.data.toBase64()));
    return o;
}

RegistryValue valueFromJson(const QJsonObject &o)
{
    RegistryValue v;
    v.name = o.value(QStringLiteral("name")).toString();
    v.type = quint32(o.value(QStringLiteral("type")).toInteger());
    if (o.contains(QStringLiteral("text")))
        v.data = o.value(QStringLiteral("text")).toString().toUtf8() + '\0';
    else
        v.data = QByteArray::fromBase64(o.value(QStringLiteral("data")).toString().toLatin1());
    return v;
}

QJsonObject nodeToJson(const Node &node)
{
    QJsonArray values, keys;
    for (const RegistryValue &v : node.values)
        values.append(valueToJson(v));
    for (const Node &k : node.keys)
        keys.append(nodeToJson(k));
    return {{QStringLiteral("name"), node.name},
            {QStringLiteral("values"), values},
            {QStringLiteral("keys"), keys}};
}

Node nodeFromJson(const QJsonObject &o)
{
    Node node;
    node.name = o.value(QStringLiteral("name")).toString();
    for (const QJsonValue &v : o.value(QStringLiteral("values")).toArray())
        node.values.append(valueFromJson(v.toObject()));
    for (const QJsonValue &k : o.value(QStringLiteral("keys")).toArray())
        node.keys.push_back(nodeFromJson(k.toObject()));
    std::stable_sort(node.keys.begin(), node.keys.end(), [](const Node &a, const Node &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return node;
}

RegistryValue *findValue(Node &node, const QString &name)
{
    for (RegistryValue &v : node.values) {
        if (sameName(v.name, name))
            return &v;
    }
    return nullptr;
}

} // namespace

struct RegistryStore::Tree
{
    Node roots[std::size(kRoots)];

    Node *root(quint32 handle)
    {
        for (size_t i = 0; i < std::size(kRoots); ++i) {
            if (kRoots[i].first == handle)
                return &roots[i];
        }
        return nullptr;
    }
};

namespace {

// The tree in the file, the seeded tree when there is no file yet, nothing when the file
// cannot be read or is not a store (it is then never overwritten).
std::optional<RegistryStore::Tree> load(const QString &fileName, const RegistryStore::Seed &seed)
{
    RegistryStore::Tree tree;
    QFile file(fileName);
    if (!file.exists()) {
        for (const auto &[ext, cls] : seed)
            findOrCreate(*tree.root(hkey::ClassesRoot), {ext})
                ->values.append({QString(), regtype::String, cls.toUtf8() + '\0'});
        return tree;
    }
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject top = doc.object();
    for (size_t i = 0; i < std::size(kRoots); ++i) {
        tree.roots[i] = nodeFromJson(top.value(QLatin1String(kRoots[i].second)).toObject());
        tree.roots[i].name.clear();
    }
    return tree;
}

bool save(const QString &fileName, const RegistryStore::Tree &tree)
{
    const QFileInfo info(fileName);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QJsonObject top{{QStringLiteral("format"), QStringLiteral("Scrivlet registry 1")}};
    for (size_t i = 0; i < std::size(kRoots); ++i)
        top.insert(QLatin1String(kRoots[i].second), nodeToJson(tree.roots[i]));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(QJsonDocument(top).toJson(QJsonDocument::Indented));
    return file.commit();
}

} // namespace

RegistryStore::RegistryStore(QString fileName, Seed seed)
    : m_fileName(std::move(fileName)), m_seed(std::move(seed))
{}

QString RegistryStore::DefaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Scrivlet/registry.json");
}

RegistryStore::Seed RegistryStore::DefaultSeed()
{
    // The MIME database knows most of the extensions; shared-mime-info has no pattern for
    // server-side-include pages, which are HTML all the same.
    const QMimeDatabase db;
    Seed seed;
    for (const auto &[ext, fallback] :
         {std::pair{".htm", "text/html"}, std::pair{".html", "text/html"},
          std::pair{".shtml", "text/html"}, std::pair{".css", "text/css"}}) {
        const QMimeType type = db.mimeTypeForFile(QStringLiteral("x") + QLatin1String(ext),
                                                  QMimeDatabase::MatchExtension);
        const QString cls = type.isDefault() ? QString::fromLatin1(fallback) : type.name();
        seed.append({QString::fromLatin1(ext), cls});
    }
    return seed;
}

namespace {

// Reads the store afresh and hands the key at path below root to read; nothing when the path,
// the root or the key does not exist.
template<class Read>
auto readKey(const QString &fileName, const RegistryStore::Seed &seed, quint32 root,
             const QString &path, Read read) -> decltype(read(std::declval<Node &>()))
{
    const auto names = splitPath(path);
    auto tree = load(fileName, seed);
    if (!names || !tree || !tree->root(root))
        return std::nullopt;
    Node *node = find(*tree->root(root), *names);
    if (!node)
        return std::nullopt;
    return read(*node);
}

} // namespace

std::optional<RegistryValue> RegistryStore::value(quint32 root, const QString &path,
                                                  const QString &name) const
{
    return readKey(m_fileName, m_seed, root, path, [&](Node &node) -> std::optional<RegistryValue> {
        const RegistryValue *v = findValue(node, name);
        if (!v)
            return std::nullopt;
        return *v;
    });
}

std::optional<QStringList> RegistryStore::valueNames(quint32 root, const QString &path) const
{
    return readKey(m_fileName, m_seed, root, path, [](Node &node) -> std::optional<QStringList> {
        QStringList out;
        for (const RegistryValue &v : node.values)
            out.append(v.name);
        return out;
    });
}

std::optional<QStringList> RegistryStore::subKeyNames(quint32 root, const QString &path) const
{
    return readKey(m_fileName, m_seed, root, path, [](Node &node) -> std::optional<QStringList> {
        QStringList out;
        for (const Node &k : node.keys)
            out.append(k.name);
        return out;
    });
}

bool RegistryStore::change(quint32 root, const std::function<bool(Tree &)> &edit)
{
    if (!rootName(root))
        return false;
    // The folder is the user's alone, like the rest of the program's settings.
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The program and the shell helper may both write; the lock makes read, change and save one
    // step for each of them.
    QLockFile lock(m_fileName + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        return false;
    auto tree = load(m_fileName, m_seed);
    if (!tree || !edit(*tree) || !save(m_fileName, *tree))
        return false;
    lock.unlock();
    return !m_changed || m_changed(root);
}

bool RegistryStore::setValue(quint32 root, const QString &path, const RegistryValue &value)
{
    const auto names = splitPath(path);
    if (!names)
        return false;
    return change(root, [&](Tree &tree) {
        Node *node = findOrCreate(*tree.root(root), *names);
        if (RegistryValue *old = findValue(*node, value.name)) {
            old->type = value.type;
            old->data = value.data;
        } else {
            node->values.append(value);
        }
        return true;
    });
}

bool RegistryStore::deleteValue(quint32 root, const QString &path, const QString &name)
{
    const auto names = splitPath(path);
    if (!names)
        return false;
    return change(root, [&](Tree &tree) {
        Node *node = find(*tree.root(root), *names);
        if (!node)
            return false;
        for (qsizetype i = 0; i < node->values.size(); ++i) {
            if (sameName(node->values[i].name, name)) {
                node->values.removeAt(i);
                return true;
            }
        }
        return false;
    });
}

bool RegistryStore::deleteKey(quint32 root, const QString &path, const QString &subKey)
{
    const auto names = splitPath(path);
    const auto below = splitPath(subKey);
    if (!names || !below || below->isEmpty())
        return false;
    return change(root, [&](Tree &tree) {
        Node *parent = find(*tree.root(root), *names + below->mid(0, below->size() - 1));
        if (!parent)
            return false;
        for (auto it = parent->keys.begin(); it != parent->keys.end(); ++it) {
            if (sameName(it->name, below->last())) {
                if (!it->keys.empty())
                    return false;
                parent->keys.erase(it);
                return true;
            }
        }
        return false;
    });
}

} // namespace scrivlet::options
