#include "host/text/HostText.h"
#include "host/settings/MemorySettingsStore.h"
#include "host/services/SettingsService.h"
#include "host/settings/SqliteSettingsStore.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#if !defined(ZELVANE_HOST_NO_SQLITE)
#include <sqlite3.h>
#endif

#include <cstring>
#include <memory>

using namespace Host;
using HostTests::TempFolder;

namespace {

const Far3::GUID PluginGuid{0x1234ABCD, 0x0102, 0x0304, {0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5, 0x06, 0x17}};
const Far3::GUID OtherGuid{0x99, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};

// The plugin's side of SettingsControl, one handle at a time.
class SettingsClient {
public:
    explicit SettingsClient(SettingsService& service) : Service(service) {}

    bool Create(Far3::FARSETTINGS_SUBFOLDERS place = Far3::PSL_ROAMING, const Far3::GUID& guid = PluginGuid)
    {
        Far3::FarSettingsCreate create{sizeof create, guid, nullptr};
        bool created = Service.Control(Far3::InvalidHandleValue, Far3::SCTL_CREATE, place, &create) != 0;
        Handle = created ? create.Handle : nullptr;
        return created;
    }
    bool Free() { return Service.Control(Handle, Far3::SCTL_FREE, 0, nullptr) != 0; }

    bool Set(size_t root, const char16_t* name, uint64_t number)
    {
        Far3::FarSettingsItem item{sizeof item, root, name, Far3::FST_QWORD, {}};
        item.Value.Number = number;
        return Service.Control(Handle, Far3::SCTL_SET, 0, &item) != 0;
    }
    bool Set(size_t root, const char16_t* name, const char16_t* text)
    {
        Far3::FarSettingsItem item{sizeof item, root, name, Far3::FST_STRING, {}};
        item.Value.String = text;
        return Service.Control(Handle, Far3::SCTL_SET, 0, &item) != 0;
    }
    bool SetData(size_t root, const char16_t* name, const std::string& bytes)
    {
        Far3::FarSettingsItem item{sizeof item, root, name, Far3::FST_DATA, {}};
        item.Value.Data.Size = bytes.size();
        item.Value.Data.Data = bytes.data();
        return Service.Control(Handle, Far3::SCTL_SET, 0, &item) != 0;
    }
    // The value as FST_QWORD / FST_STRING / FST_DATA, rendered as text for comparison.
    std::optional<std::string> Get(size_t root, const char16_t* name, Far3::FARSETTINGSTYPES type)
    {
        Far3::FarSettingsItem item{sizeof item, root, name, type, {}};
        if (!Service.Control(Handle, Far3::SCTL_GET, 0, &item))
            return std::nullopt;
        if (type == Far3::FST_QWORD)
            return std::to_string(item.Value.Number);
        if (type == Far3::FST_STRING)
            return Utf16ToUtf8(item.Value.String);
        return std::string(static_cast<const char*>(item.Value.Data.Data), item.Value.Data.Size);
    }
    const char16_t* GetTextPointer(size_t root, const char16_t* name)
    {
        Far3::FarSettingsItem item{sizeof item, root, name, Far3::FST_STRING, {}};
        return Service.Control(Handle, Far3::SCTL_GET, 0, &item) ? item.Value.String : nullptr;
    }
    intptr_t SubKey(size_t root, const char16_t* name, bool create)
    {
        Far3::FarSettingsValue value{sizeof value, root, name};
        return Service.Control(Handle, create ? Far3::SCTL_CREATESUBKEY : Far3::SCTL_OPENSUBKEY, 0, &value);
    }
    bool Delete(size_t root, const char16_t* name)
    {
        Far3::FarSettingsValue value{sizeof value, root, name};
        return Service.Control(Handle, Far3::SCTL_DELETE, 0, &value) != 0;
    }
    std::vector<std::pair<std::string, Far3::FARSETTINGSTYPES>> Enum(size_t root)
    {
        Far3::FarSettingsEnum list{sizeof list, root, 0, nullptr};
        std::vector<std::pair<std::string, Far3::FARSETTINGSTYPES>> names;
        if (Service.Control(Handle, Far3::SCTL_ENUM, 0, &list))
            for (size_t i = 0; i < list.Count; ++i)
                names.emplace_back(Utf16ToUtf8(list.Items[i].Name), list.Items[i].Type);
        return names;
    }

private:
    SettingsService& Service;
    Far3::HANDLE Handle = nullptr;
};

enum class StoreKind { Memory, Sqlite };

// The stores of this build: the Windows build has no SQLite.
auto StoreKinds()
{
#if defined(ZELVANE_HOST_NO_SQLITE)
    return testing::Values(StoreKind::Memory);
#else
    return testing::Values(StoreKind::Memory, StoreKind::Sqlite);
#endif
}

class SettingsStores : public testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override { Restart(); }

    // A new store over the same place, as after a host restart (memory keeps its data).
    void Restart()
    {
        Service.reset();
        if (GetParam() == StoreKind::Sqlite) {
#if !defined(ZELVANE_HOST_NO_SQLITE)
            Store = std::make_unique<SqliteSettingsStore>(Profile.Path(), Profile / "local");
#endif
        } else if (!Store) {
            Store = std::make_unique<MemorySettingsStore>();
        }
        Service = std::make_unique<SettingsService>(*Store);
        Service->SetPlugin(PluginGuid, u"Zelvane Test");
    }

    TempFolder Profile;
    std::unique_ptr<SettingsStore> Store;
    std::unique_ptr<SettingsService> Service;
};

TEST_P(SettingsStores, ValuesOfEveryTypeSurviveFreeAndReopen)
{
    SettingsClient plugin(*Service);
    ASSERT_TRUE(plugin.Create());
    EXPECT_TRUE(plugin.Set(0, u"Count", uint64_t{0xFFFFFFFFFFFFFFFFull}));
    EXPECT_TRUE(plugin.Set(0, u"Mask", u"[N]_ü"));
    EXPECT_TRUE(plugin.SetData(0, u"Blob", std::string("\0\x01\xFF", 3)));
    EXPECT_TRUE(plugin.Set(0, u"Empty", u""));
    ASSERT_TRUE(plugin.Free());

    Restart();
    SettingsClient again(*Service);
    ASSERT_TRUE(again.Create());
    EXPECT_EQ(again.Get(0, u"Count", Far3::FST_QWORD), "18446744073709551615");
    EXPECT_EQ(again.Get(0, u"Mask", Far3::FST_STRING), "[N]_ü");
    EXPECT_EQ(again.Get(0, u"Blob", Far3::FST_DATA), std::string("\0\x01\xFF", 3));
    EXPECT_EQ(again.Get(0, u"Empty", Far3::FST_STRING), "");
    EXPECT_EQ(again.Get(0, u"Missing", Far3::FST_STRING), std::nullopt);
    EXPECT_EQ(again.Get(0, u"mask", Far3::FST_STRING), std::nullopt) << "names match case-sensitively";
    EXPECT_TRUE(again.Free());
}

struct ConversionCase {
    const char* Name;
    Far3::FARSETTINGSTYPES StoredType;
    std::string Stored;
    Far3::FARSETTINGSTYPES ReadAs;
    std::string Expected;
};

// Cases print as their name in test listings.
void PrintTo(const ConversionCase& c, std::ostream* out)
{
    *out << c.Name;
}

class SettingsConversion : public testing::TestWithParam<std::tuple<StoreKind, ConversionCase>> {};

TEST_P(SettingsConversion, ReadingAnotherTypeConvertsLikeSqlite)
{
    const ConversionCase& c = std::get<1>(GetParam());
    TempFolder profile;
    std::unique_ptr<SettingsStore> store;
#if !defined(ZELVANE_HOST_NO_SQLITE)
    if (std::get<0>(GetParam()) == StoreKind::Sqlite)
        store = std::make_unique<SqliteSettingsStore>(profile.Path(), profile.Path());
#endif
    if (!store)
        store = std::make_unique<MemorySettingsStore>();
    SettingsService service(*store);
    service.SetPlugin(PluginGuid, u"T");
    SettingsClient plugin(service);
    ASSERT_TRUE(plugin.Create());
    std::u16string text = Utf8ToUtf16(c.Stored);
    if (c.StoredType == Far3::FST_QWORD)
        ASSERT_TRUE(plugin.Set(0, u"V", static_cast<uint64_t>(std::stoll(c.Stored))));
    else if (c.StoredType == Far3::FST_STRING)
        ASSERT_TRUE(plugin.Set(0, u"V", text.c_str()));
    else
        ASSERT_TRUE(plugin.SetData(0, u"V", c.Stored));
    EXPECT_EQ(plugin.Get(0, u"V", c.ReadAs), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SettingsConversion,
    testing::Combine(
        StoreKinds(),
        testing::Values(
            ConversionCase{"TextLeadingNumber", Far3::FST_STRING, "42abc", Far3::FST_QWORD, "42"},
            ConversionCase{"TextSignedWithSpaces", Far3::FST_STRING, "  -7", Far3::FST_QWORD, "18446744073709551609"},
            ConversionCase{"TextNotANumber", Far3::FST_STRING, "abc", Far3::FST_QWORD, "0"},
            ConversionCase{"NumberAsText", Far3::FST_QWORD, "123", Far3::FST_STRING, "123"},
            ConversionCase{"NegativeNumberAsData", Far3::FST_QWORD, "-5", Far3::FST_DATA, "-5"},
            ConversionCase{"TextAsDataIsUtf8", Far3::FST_STRING, "é", Far3::FST_DATA, "\xC3\xA9"},
            ConversionCase{"DataAsText", Far3::FST_DATA, "xyz", Far3::FST_STRING, "xyz"},
            ConversionCase{"DataAsNumber", Far3::FST_DATA, "12", Far3::FST_QWORD, "12"})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == StoreKind::Memory ? "Memory_" : "Sqlite_") +
               std::get<1>(info.param).Name;
    });

TEST_P(SettingsStores, SetReplacesValueOfAnotherType)
{
    SettingsClient plugin(*Service);
    ASSERT_TRUE(plugin.Create());
    ASSERT_TRUE(plugin.Set(0, u"V", uint64_t{5}));
    ASSERT_TRUE(plugin.Set(0, u"V", u"five"));
    EXPECT_EQ(plugin.Enum(0), (std::vector<std::pair<std::string, Far3::FARSETTINGSTYPES>>{{"V", Far3::FST_STRING}}));
}

TEST_P(SettingsStores, EverySubkeyCallGivesANewIndexForTheSameKey)
{
    SettingsClient plugin(*Service);
    ASSERT_TRUE(plugin.Create());
    intptr_t first = plugin.SubKey(0, u"Patterns", true);
    intptr_t second = plugin.SubKey(0, u"Patterns", true);
    intptr_t opened = plugin.SubKey(0, u"Patterns", false);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(opened, 3);
    ASSERT_TRUE(plugin.Set(static_cast<size_t>(first), u"Item", u"x"));
    EXPECT_EQ(plugin.Get(static_cast<size_t>(opened), u"Item", Far3::FST_STRING), "x");
    intptr_t nested = plugin.SubKey(static_cast<size_t>(second), u"Inner", true);
    EXPECT_EQ(nested, 4);

    struct Bad {
        size_t Root;
        const char16_t* Name;
        bool Create;
    };
    for (Bad bad : {Bad{0, u"", true}, Bad{0, u"a\\b", true}, Bad{0, nullptr, true}, Bad{99, u"x", true},
                    Bad{0, u"Missing", false}, Bad{99, u"Patterns", false}})
        EXPECT_EQ(plugin.SubKey(bad.Root, bad.Name, bad.Create), 0);
    EXPECT_FALSE(plugin.Set(99, u"V", uint64_t{1})) << "unknown key index";
}

TEST_P(SettingsStores, EnumListsSubkeysFirstThenValuesWithTypes)
{
    SettingsClient plugin(*Service);
    ASSERT_TRUE(plugin.Create());
    ASSERT_TRUE(plugin.Set(0, u"Number", uint64_t{1}));
    ASSERT_TRUE(plugin.SubKey(0, u"Sub", true));
    ASSERT_TRUE(plugin.Set(0, u"Text", u"t"));
    ASSERT_TRUE(plugin.SetData(0, u"Data", "d"));
    auto names = plugin.Enum(0);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], (std::pair<std::string, Far3::FARSETTINGSTYPES>{"Sub", Far3::FST_SUBKEY}));
    std::map<std::string, Far3::FARSETTINGSTYPES> values(names.begin() + 1, names.end());
    EXPECT_EQ(values, (std::map<std::string, Far3::FARSETTINGSTYPES>{
                          {"Number", Far3::FST_QWORD}, {"Text", Far3::FST_STRING}, {"Data", Far3::FST_DATA}}));
}

TEST_P(SettingsStores, DeletingAKeyRemovesItsWholeSubtree)
{
    SettingsClient plugin(*Service);
    ASSERT_TRUE(plugin.Create());
    auto outer = static_cast<size_t>(plugin.SubKey(0, u"Outer", true));
    auto inner = static_cast<size_t>(plugin.SubKey(outer, u"Inner", true));
    ASSERT_TRUE(plugin.Set(inner, u"Deep", u"d"));
    ASSERT_TRUE(plugin.Set(0, u"Keep", u"k"));
    EXPECT_TRUE(plugin.Delete(0, u"Absent")) << "deleting nothing is not an error";
    EXPECT_TRUE(plugin.Delete(outer, nullptr));
    ASSERT_TRUE(plugin.Free());

    ASSERT_TRUE(plugin.Create());
    EXPECT_EQ(plugin.SubKey(0, u"Outer", false), 0);
    EXPECT_EQ(plugin.Get(0, u"Keep", Far3::FST_STRING), "k");
    EXPECT_TRUE(plugin.Delete(0, u"Keep"));
    EXPECT_EQ(plugin.Get(0, u"Keep", Far3::FST_STRING), std::nullopt);
    EXPECT_TRUE(plugin.Free());
}

TEST_P(SettingsStores, ChangesCountOnlyAfterFree)
{
    SettingsClient plugin(*Service);
    ASSERT_TRUE(plugin.Create());
    ASSERT_TRUE(plugin.Set(0, u"Lost", u"x"));
    Service->DiscardAll();
    ASSERT_TRUE(plugin.Create());
    EXPECT_EQ(plugin.Get(0, u"Lost", Far3::FST_STRING), std::nullopt);
    EXPECT_TRUE(plugin.Free());
}

TEST_P(SettingsStores, TextsStayValidUntilFree)
{
    SettingsClient plugin(*Service);
    ASSERT_TRUE(plugin.Create());
    ASSERT_TRUE(plugin.Set(0, u"A", u"first"));
    ASSERT_TRUE(plugin.Set(0, u"B", u"second"));
    const char16_t* a = plugin.GetTextPointer(0, u"A");
    for (int i = 0; i < 100; ++i)
        plugin.GetTextPointer(0, u"B");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::u16string_view(a), u"first");
    EXPECT_TRUE(plugin.Free());
}

TEST_P(SettingsStores, CreateRefusesForeignPluginsSmallRecordsAndASecondSession)
{
    SettingsClient plugin(*Service);
    EXPECT_FALSE(plugin.Create(Far3::PSL_ROAMING, OtherGuid));
    Far3::FarSettingsCreate small{8, PluginGuid, nullptr};
    EXPECT_EQ(Service->Control(nullptr, Far3::SCTL_CREATE, 0, &small), 0);
    EXPECT_EQ(Service->Control(nullptr, Far3::SCTL_CREATE, 0, nullptr), 0);

    ASSERT_TRUE(plugin.Create());
    SettingsClient second(*Service);
    EXPECT_FALSE(second.Create()) << "the first session holds the settings exclusively";
    EXPECT_TRUE(plugin.Free());
    EXPECT_TRUE(second.Create());
    EXPECT_TRUE(second.Free());
    EXPECT_EQ(Service->Control(reinterpret_cast<Far3::HANDLE>(0x1234), Far3::SCTL_FREE, 0, nullptr), 0);
}

TEST_P(SettingsStores, RoamingAndLocalAreSeparate)
{
    SettingsClient plugin(*Service);
    ASSERT_TRUE(plugin.Create(Far3::PSL_ROAMING));
    ASSERT_TRUE(plugin.Set(0, u"Where", u"roaming"));
    ASSERT_TRUE(plugin.Free());
    ASSERT_TRUE(plugin.Create(Far3::PSL_LOCAL));
    EXPECT_EQ(plugin.Get(0, u"Where", Far3::FST_STRING), std::nullopt);
    EXPECT_TRUE(plugin.Free());
}

INSTANTIATE_TEST_SUITE_P(Stores, SettingsStores, StoreKinds(),
                         [](const auto& info) { return info.param == StoreKind::Memory ? "Memory" : "Sqlite"; });

#if !defined(ZELVANE_HOST_NO_SQLITE)

// The file as Far would read it: straight SQL on the database.
std::vector<std::vector<std::string>> Query(const std::filesystem::path& file, const char* sql)
{
    sqlite3* db = nullptr;
    std::vector<std::vector<std::string>> rows;
    if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db, sql,
            [](void* out, int count, char** values, char**) {
                auto& table = *static_cast<std::vector<std::vector<std::string>>*>(out);
                table.emplace_back();
                for (int i = 0; i < count; ++i)
                    table.back().push_back(values[i] ? values[i] : "NULL");
                return 0;
            },
            &rows, nullptr);
    }
    sqlite3_close(db);
    return rows;
}

class SqliteSettingsFile : public testing::Test {
protected:
    TempFolder Profile;
    SqliteSettingsStore Store{Profile.Path(), Profile.Path()};
    SettingsService Service{Store};
    std::filesystem::path File = Store.DatabasePath(PluginGuid, Far3::PSL_ROAMING);

    void SetUp() override { Service.SetPlugin(PluginGuid, u"Zelvane Test"); }
};

TEST_F(SqliteSettingsFile, UsesFarsSchemaAndLayout)
{
    EXPECT_EQ(File, Profile.Path() / "PluginsData" / "1234ABCD-0102-0304-A0B1-C2D3E4F50617.db");
    SettingsClient plugin(Service);
    ASSERT_TRUE(plugin.Create());
    auto sub = static_cast<size_t>(plugin.SubKey(0, u"Options", true));
    ASSERT_TRUE(plugin.Set(sub, u"Number", uint64_t{7}));
    ASSERT_TRUE(plugin.Set(sub, u"Text", u"t"));
    ASSERT_TRUE(plugin.SetData(sub, u"Data", "d"));
    ASSERT_TRUE(plugin.Free());

    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(Query(File, "SELECT id, parent_id, name, description FROM table_keys ORDER BY id"),
              (Rows{{"0", "0", "", "Root - do not edit"},
                    {"1", "0", "1234ABCD-0102-0304-A0B1-C2D3E4F50617", "Zelvane Test"},
                    {"2", "1", "Options", "NULL"}}));
    EXPECT_EQ(Query(File, "SELECT key_id, name, typeof(value) FROM table_values ORDER BY name"),
              (Rows{{"2", "Data", "blob"}, {"2", "Number", "integer"}, {"2", "Text", "text"}}));
    Rows schema = Query(File, "SELECT sql FROM sqlite_master WHERE name='table_values'");
    ASSERT_EQ(schema.size(), 1u);
    EXPECT_NE(schema[0][0].find("ON DELETE CASCADE"), std::string::npos);
    EXPECT_NE(schema[0][0].find("CHECK (key_id <> 0)"), std::string::npos);
}

TEST_F(SqliteSettingsFile, DamagedOrUnreadableFilesAreRefusedAndLeftAlone)
{
    struct Case {
        const char* Name;
        std::string Bytes;
    };
    std::string header("SQLite format 3\0", 16);
    for (const Case& c : {Case{"text", std::string(3000, 'x')},
                          Case{"truncated database", header + std::string(84, '\x01') + std::string(1000, '\xEE')}}) {
        SCOPED_TRACE(c.Name);
        Profile.Write("PluginsData/" + File.filename().string(), c.Bytes);
        SettingsClient plugin(Service);
        EXPECT_FALSE(plugin.Create());
        EXPECT_EQ(HostTests::ReadAll(File), c.Bytes) << "a damaged file is never overwritten";
    }
    std::filesystem::remove(File);
    std::filesystem::create_directory(File);
    SettingsClient plugin(Service);
    EXPECT_FALSE(plugin.Create()) << "a folder where the file should be";
    EXPECT_TRUE(std::filesystem::is_directory(File));
}

TEST_F(SqliteSettingsFile, FileLockedByAnotherProcessIsRefusedUntilReleased)
{
    SettingsClient plugin(Service);
    ASSERT_TRUE(plugin.Create());
    ASSERT_TRUE(plugin.Free());

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(File.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_FALSE(plugin.Create());
    sqlite3_exec(other, "END", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(plugin.Create());
    EXPECT_TRUE(plugin.Free());
}

#endif

} // namespace
