#include "Lv2StateFile.h"

#include "BinaryFile.h"
#include "Lv2Uris.h"

#include <serd/serd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace ferrovane::host {

namespace {

constexpr const char* kBase64Binary = "http://www.w3.org/2001/XMLSchema#base64Binary";

// What a parse of one Turtle file found: prefixes are kept, so that the names of any writer
// compare as full URIs.
struct Parse {
    SerdEnv* env;
    bool bank = false;
    Lv2State* state;
};

std::string Expanded(const Parse& p, const SerdNode* node) {
    if (!node) return "";
    if (node->type != SERD_CURIE) return reinterpret_cast<const char*>(node->buf);
    SerdNode full = serd_env_expand_node(p.env, node);
    std::string uri = full.buf ? reinterpret_cast<const char*>(full.buf) : "";
    serd_node_free(&full);
    return uri;
}

SerdStatus Base(void* handle, const SerdNode* uri) {
    return serd_env_set_base_uri(static_cast<Parse*>(handle)->env, uri);
}

SerdStatus Prefix(void* handle, const SerdNode* name, const SerdNode* uri) {
    return serd_env_set_prefix(static_cast<Parse*>(handle)->env, name, uri);
}

// The first bank wins, with the program stated beside it.
SerdStatus Statement(void* handle, SerdStatementFlags, const SerdNode*, const SerdNode*,
                     const SerdNode* predicate, const SerdNode* object, const SerdNode* datatype,
                     const SerdNode*) {
    auto& p = *static_cast<Parse*>(handle);
    const std::string key = Expanded(p, predicate);
    if (key == lv2::kBankKey && !p.bank && Expanded(p, datatype) == kBase64Binary) {
        size_t size = 0;
        void* bytes = serd_base64_decode(object->buf, object->n_bytes, &size);
        if (!bytes) return SERD_SUCCESS;
        const auto* b = static_cast<const unsigned char*>(bytes);
        p.state->bank.assign(b, b + size);
        serd_free(bytes);
        p.bank = true;
    } else if (key == lv2::kProgramKey && p.state->program == 0) {
        p.state->program = atoi(reinterpret_cast<const char*>(object->buf));
    }
    return SERD_SUCCESS;
}

bool ReadTurtle(const std::string& file, Lv2State& state) {
    const std::string uri = "file://" + std::filesystem::absolute(file).string();
    SerdNode base = serd_node_from_string(SERD_URI, reinterpret_cast<const uint8_t*>(uri.c_str()));
    Parse p{serd_env_new(&base), false, &state};
    SerdReader* reader =
        serd_reader_new(SERD_TURTLE, &p, nullptr, Base, Prefix, Statement, nullptr);
    serd_reader_set_error_sink(
        reader, [](void*, const SerdError*) { return SERD_SUCCESS; }, nullptr);
    serd_reader_read_file(reader, reinterpret_cast<const uint8_t*>(file.c_str()));
    serd_reader_free(reader);
    serd_env_free(p.env);
    return p.bank;
}

// In lines: the literal is a long string.
std::string Base64(const std::vector<unsigned char>& bytes) {
    SerdNode node = serd_node_new_blob(bytes.data(), bytes.size(), true);
    std::string text = reinterpret_cast<const char*>(node.buf);
    serd_node_free(&node);
    return text;
}

// A label as a Turtle string.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c != '\n' && c != '\r') out += c;
    }
    return out + "\"";
}

std::string PresetText(const Lv2State& state) {
    static const char* const kOptionSymbols[3] = {"preset_change", "grid", "highlight"};
    std::ostringstream t;
    t << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
         "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
         "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n"
         "<>\n\ta pset:Preset ;\n\tlv2:appliesTo <"
      << lv2::kPluginUri << "> ;\n\trdfs:label " << Quoted(state.label) << " ;\n\tlv2:port ";
    for (int i = 0; i < 3; ++i)
        t << "[\n\t\tlv2:symbol \"" << kOptionSymbols[i] << "\" ;\n\t\tpset:value "
          << (state.options[i] > 0.5f ? "1.0" : "0.0") << "\n\t] , ";
    t << "[\n\t\tlv2:symbol \"program\" ;\n\t\tpset:value " << state.program << ".0\n\t] ;\n"
      << "\tstate:state [\n\t\t<" << lv2::kBankKey << "> \"\"\"" << Base64(state.bank)
      << "\"\"\"^^xsd:base64Binary ;\n\t\t<" << lv2::kProgramKey << "> " << state.program
      << "\n\t] .\n";
    return t.str();
}

std::string ManifestText(const std::string& preset) {
    std::ostringstream t;
    t << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n\n<"
      << preset << ">\n\ta pset:Preset ;\n\tlv2:appliesTo <" << lv2::kPluginUri
      << "> ;\n\trdfs:seeAlso <" << preset << "> .\n";
    return t.str();
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
    return WriteFile(path, std::vector<unsigned char>(text.begin(), text.end()), error);
}

} // namespace

bool ReadLv2State(const std::string& path, Lv2State& state, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> files;
    if (fs::is_directory(path, ec)) {
        for (const auto& entry : fs::directory_iterator(path, ec))
            if (entry.path().extension() == ".ttl") files.push_back(entry.path().string());
    } else {
        files.push_back(path);
    }
    for (const std::string& file : files)
        if (ReadTurtle(file, state)) return true;
    error = path + " holds no state of this plugin";
    return false;
}

bool WriteLv2State(const std::string& path, const Lv2State& state, std::string& error) {
    namespace fs = std::filesystem;
    if (fs::path(path).extension() != ".lv2") return WriteText(path, PresetText(state), error);
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec) {
        error = "cannot make " + path + ": " + ec.message();
        return false;
    }
    return WriteText(path + "/bank.ttl", PresetText(state), error) &&
           WriteText(path + "/manifest.ttl", ManifestText("bank.ttl"), error);
}

} // namespace ferrovane::host
