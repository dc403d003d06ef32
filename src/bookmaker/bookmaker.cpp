#include "bookmaker/bookmaker.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "bookmaker/book_check.h"
#include "bookmaker/book_from_pgn.h"
#include "bookmaker/book_output.h"
#include "bookmaker/book_show.h"
#include "console/arguments.h"

namespace quill {

namespace {

constexpr int FROM_PGN_FAILED = 2;
constexpr int MAX_PLIES = 1000;
constexpr int MAX_MIN_GAMES = 1000000;

constexpr const char* USAGE =
    "usage: bookmaker from-pgn --color white|black [--plies N] [--min-games K] [--variations]\n"
    "                          [-o FILE] FILE.pgn...\n"
    "       bookmaker check FILE.vbk [--color white|black]\n"
    "       bookmaker show FILE.vbk\n";

int usage(std::ostream& err, const std::string& why) {
    err << "bookmaker: " << why << '\n' << USAGE;
    return BOOKMAKER_USAGE;
}

std::optional<Color> parse_colour(const std::string& word) {
    if (word == "white") return WHITE;
    if (word == "black") return BLACK;
    return std::nullopt;
}

// A whole number from low to high written in digits only.
std::optional<int> parse_count(const std::string& word, int low, int high) {
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const int n = std::stoi(word);
    if (n < low || n > high) return std::nullopt;
    return n;
}

// The whole file, or nothing after a message when it cannot be read.
std::optional<std::string> read_file(const std::string& path, std::ostream& err) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        err << "bookmaker: " << path << ": cannot be read: " << std::strerror(errno) << '\n';
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        err << "bookmaker: " << path << ": is a folder, not a PGN file\n";
        return std::nullopt;
    }
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int saved = errno;
            ::close(fd);
            err << "bookmaker: " << path << ": cannot be read: " << std::strerror(saved) << '\n';
            return std::nullopt;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

int from_pgn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    FromPgnOptions options;
    bool colour_given = false;
    std::string output;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--color" || a == "--colour") {
            const auto c = has_value ? parse_colour(args[++i]) : std::nullopt;
            if (!c) return usage(err, "--color takes white or black");
            options.color = *c;
            colour_given = true;
        } else if (a == "--plies") {
            const auto n = has_value ? parse_count(args[++i], 1, MAX_PLIES) : std::nullopt;
            if (!n) return usage(err, "--plies takes a number of plies from 1 to " + std::to_string(MAX_PLIES));
            options.plies = *n;
        } else if (a == "--min-games") {
            const auto n = has_value ? parse_count(args[++i], 1, MAX_MIN_GAMES) : std::nullopt;
            if (!n) return usage(err, "--min-games takes a number of games of at least 1");
            options.min_games = *n;
        } else if (a == "--variations") {
            options.variations = true;
        } else if (a == "-o" || a == "--output") {
            if (!has_value) return usage(err, a + " takes the name of the book to write");
            output = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usage(err, "unknown option " + a);
        } else {
            files.push_back(a);
        }
    }
    if (!colour_given) return usage(err, "from-pgn needs --color white or --color black");
    if (files.empty()) return usage(err, "from-pgn needs at least one PGN file");

    BookCollector collector(options);
    int warnings = 0;
    for (const std::string& file : files) {
        const std::optional<std::string> text = read_file(file, err);
        if (!text) {
            err << "bookmaker: no book was written\n";
            return FROM_PGN_FAILED;
        }
        const auto warn = [&](int line, const std::string& message) {
            ++warnings;
            err << "bookmaker: " << file << ':' << line << ": " << message << '\n';
        };
        PgnReader reader(*text, warn);
        PgnGame game;
        while (reader.next(game)) collector.add_game(game, warn);
    }

    const std::string book = collector.book();
    if (!output.empty()) {
        if (!replace_file(output, book, err)) return FROM_PGN_FAILED;
    } else {
        out.write(book.data(), static_cast<std::streamsize>(book.size()));
        out.flush();
        if (!out) {
            err << "bookmaker: the book could not be written to standard output\n";
            return FROM_PGN_FAILED;
        }
    }
    err << "bookmaker: " << collector.games() << (collector.games() == 1 ? " game" : " games") << " read";
    if (collector.games_skipped() > 0) err << " (" << collector.games_skipped() << " left out)";
    err << ", " << collector.entries() << (collector.entries() == 1 ? " entry" : " entries") << " for "
        << (options.color == WHITE ? "White" : "Black");
    if (warnings > 0) err << ", " << warnings << (warnings == 1 ? " warning" : " warnings");
    err << '\n';
    return 0;
}

// check FILE [--color white|black] and show FILE.
int book_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool check = args[0] == "check";
    std::optional<Color> color;
    std::string file;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (check && (a == "--color" || a == "--colour")) {
            color = i + 1 < args.size() ? parse_colour(args[++i]) : std::nullopt;
            if (!color) return usage(err, "--color takes white or black");
        } else if (a.size() > 1 && a[0] == '-') {
            return usage(err, "unknown option " + a);
        } else if (!file.empty()) {
            return usage(err, args[0] + " reads one book at a time");
        } else {
            file = a;
        }
    }
    if (file.empty()) return usage(err, args[0] + " needs the book to read");
    return check ? check_book(file, color, out, err) : show_book(file, out, err);
}

}  // namespace

int run_bookmaker(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usage(err, "no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << USAGE;
        return 0;
    }
    if (command == "--version") return print_version("bookmaker", out);
    if (command == "from-pgn") return from_pgn(args, out, err);
    if (command == "check" || command == "show") return book_command(args, out, err);
    return usage(err, "unknown command " + command);
}

}  // namespace quill
