// Converts a 20 MB Japanese page in each direction and prints MB/s beside nkf (run as a
// process, file to file) and glibc iconv (in memory). Ours is timed both in memory (code
// detection included) and file to file through the command (reading, detecting, converting,
// writing the temporary file with fsync and renaming it).
#include "Command.h"
#include "Convert.h"
#include "Detect.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iconv.h>
#include <optional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using namespace scrivlet::unkanj;
using Clock = std::chrono::steady_clock;

constexpr const char *kNkf = "/usr/bin/nkf";
constexpr std::size_t kTextSize = 20 * 1000 * 1000;

// Sentences of an ordinary Japanese page: kanji, hiragana, katakana, full-width signs.
const char *const kSentences[] = {
    "いつも当店をご利用いただき、誠にありがとうございます。",
    "本年も従業員一同、皆様のお越しを心よりお待ちしております。",
    "営業時間は午前９時から午後６時までです（土曜日は午後３時まで）。",
    "駐車場は店舗の裏手に５台分ございますので、お気軽にご利用ください。",
    "外壁塗装や屋根の補修など、住まいのことなら何でもご相談ください。",
    "見積もりは無料です。お電話またはメールフォームからお申し込みください。",
    "新しいカタログを用意しました。ホームページからダウンロードできます。",
    "台風による被害の点検を、地域の皆様に限り特別価格で承ります。",
    "※ 表示価格はすべて消費税込みです。詳しくは営業部までお問い合わせください。",
    "春の感謝祭では、抽選で百名様に記念品を差し上げます。奮ってご応募ください。",
};
const char *const kMarkup[] = {
    "<p>",  "</p>",     "<br>",      "<li>", "</li>", "<a href=\"info.html\">",
    "</a>", "<strong>", "</strong>", " "};

std::string makeUtf8Page()
{
    std::mt19937 random(2024);
    std::string text = "<html><head><title>ご案内</title></head><body>\n";
    while (text.size() < kTextSize) {
        text += kMarkup[random() % std::size(kMarkup)];
        text += kSentences[random() % std::size(kSentences)];
        if (random() % 3 == 0)
            text += kMarkup[random() % std::size(kMarkup)];
        if (random() % 2 == 0)
            text += "\n";
    }
    return text + "</body></html>\n";
}

std::string iconvAll(const char *from, const char *to, const std::string &text)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out(text.size() * 2 + 16, '\0');
    char *in = const_cast<char *>(text.data());
    std::size_t inLeft = text.size();
    char *o = out.data();
    std::size_t outLeft = out.size();
    std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv(cd, nullptr, nullptr, &o, &outLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1))
        return {};
    out.resize(out.size() - outLeft);
    return out;
}

// The best of several runs, in seconds.
double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void writeFile(const std::string &path, const std::string &data)
{
    std::ofstream(path, std::ios::binary)
        .write(data.data(), static_cast<std::streamsize>(data.size()));
}

// Runs nkf with stdin from a file and stdout into another, as a user would.
bool runNkf(const std::vector<std::string> &options, const std::string &in, const std::string &out)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char *> argv{const_cast<char *>(kNkf)};
    for (const std::string &o : options)
        argv.push_back(const_cast<char *>(o.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawn(&pid, kNkf, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Direction
{
    const char *name;
    const std::string *input;
    KanjiCode expected;
    KanjiCode output;
    const char *option;
    const char *iconvFrom;
    const char *iconvTo;
    std::vector<std::string> nkf;
};

} // namespace

int main()
{
    std::string utf8 = makeUtf8Page();
    std::string sjis = iconvAll("UTF-8", "CP932", utf8);
    std::string euc = iconvAll("UTF-8", "EUC-JP-MS", utf8);
    std::string jis = iconvAll("UTF-8", "ISO-2022-JP", utf8);
    if (sjis.empty() || euc.empty() || jis.empty()) {
        std::fprintf(stderr, "iconv could not prepare the texts\n");
        return 1;
    }
    bool haveNkf = ::access(kNkf, X_OK) == 0;
    auto dir =
        std::filesystem::temp_directory_path() / ("unkanj-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);

    const Direction directions[] = {
        {"SJIS -> EUC",
         &sjis,
         KanjiCode::ShiftJis,
         KanjiCode::Euc,
         "-e",
         "CP932",
         "EUC-JP-MS",
         {"-x", "-S", "-e"}},
        {"SJIS -> JIS",
         &sjis,
         KanjiCode::ShiftJis,
         KanjiCode::Jis,
         "-j",
         "CP932",
         "ISO-2022-JP",
         {"-x", "-S", "-j"}},
        {"EUC -> SJIS",
         &euc,
         KanjiCode::Euc,
         KanjiCode::ShiftJis,
         "-s",
         "EUC-JP-MS",
         "CP932",
         {"-x", "-E", "-s"}},
        {"JIS -> SJIS",
         &jis,
         KanjiCode::Jis,
         KanjiCode::ShiftJis,
         "-s",
         "ISO-2022-JP",
         "CP932",
         {"-x", "-J", "-s"}},
        {"UTF-8 -> SJIS",
         &utf8,
         KanjiCode::Utf8,
         KanjiCode::ShiftJis,
         "-s",
         "UTF-8",
         "CP932",
         {"-x", "-W", "-s"}},
    };

    std::printf("Converting a %.1f MB Japanese page (UTF-8 size; LF line ends), best of runs, MB/s "
                "of input:\n\n",
                static_cast<double>(utf8.size()) / 1e6);
    std::printf("%-14s %12s %12s %12s %12s\n", "direction", "ours(memory)", "ours(file)", "nkf",
                "iconv");
    int status = 0;
    for (const Direction &d : directions) {
        const std::string &input = *d.input;
        double mb = static_cast<double>(input.size()) / 1e6;

        if (detectCode(input).code != d.expected) {
            std::fprintf(stderr, "%s: input detected as %s\n", d.name,
                         codeName(detectCode(input).code));
            status = 1;
        }
        std::string ours;
        double memory = bestOf(5, [&] {
            Detection detected;
            ours = convertDetected(input, {d.output, LineEnd::Lf}, detected);
        });
        std::string reference = iconvAll(d.iconvFrom, d.iconvTo, input);
        double iconvTime = bestOf(5, [&] { reference = iconvAll(d.iconvFrom, d.iconvTo, input); });
        if (ours != reference)
            std::fprintf(stderr, "%s: output differs from iconv's\n", d.name);

        std::string in = (dir / "in.txt").string();
        std::string out = (dir / "out.txt").string();
        writeFile(in, input);
        Command command{d.output, LineEnd::Lf, in, out, std::nullopt};
        double file = bestOf(3, [&] { runCommand(command, (dir / "lock").string()); });

        double nkf = 0;
        if (haveNkf)
            nkf = bestOf(3, [&] { runNkf(d.nkf, in, out); });

        auto rate = [&](double seconds) {
            return seconds > 0 ? mb / seconds : 0.0;
        };
        std::printf("%-14s %12.0f %12.0f %12s %12.0f\n", d.name, rate(memory), rate(file),
                    haveNkf ? std::to_string(static_cast<int>(rate(nkf))).c_str() : "n/a",
                    rate(iconvTime));
    }
    if (!haveNkf)
        std::printf("\nnkf is not installed (%s): its column is skipped.\n", kNkf);
    std::filesystem::remove_all(dir);
    return status;
}
