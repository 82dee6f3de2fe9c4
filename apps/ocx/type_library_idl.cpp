// Writes the IDL of PlandraOCX from the member tables of DXF, DXFLayers and DXFLayer.
#include "type_library_idl.h"

#include "control/interface/dxf_enums.h"
#include "control/interface/dxf_members.h"
#include "control/interface/layer_members.h"

#include <span>
#include <sstream>
#include <variant>

namespace plandra::ocx {
namespace {

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

// The IDL type of an automation type name, an enumeration or one of the classes.
std::string IdlType(std::string_view typeName) {
    static constexpr std::pair<std::string_view, std::string_view> Types[] = {
        {"Integer", "short"},
        {"Long", "long"},
        {"Single", "float"},
        {"Double", "double"},
        {"Boolean", "VARIANT_BOOL"},
        {"String", "BSTR"},
        {"Variant", "VARIANT"},
        {"OLE_COLOR", "OLE_COLOR"},
        {"DXFLayers", "_DXFLayers*"},
        {"DXFLayer", "_DXFLayer*"},
        {"", "void"}};
    for (const auto& [name, idl] : Types) {
        if (name == typeName) {
            return std::string(idl);
        }
    }
    return std::string(typeName); // an enumeration keeps its name
}

std::string DefaultValue(const Variant& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return Quoted(*text);
    }
    if (const auto* flag = std::get_if<platform::VariantBool>(&value)) {
        return flag->Value ? "-1" : "0";
    }
    return std::to_string(CLng(value));
}

std::string Parameter(const ParamInfo& param) {
    std::string attributes = param.ByValue ? "in" : "in, out";
    if (param.Optional) {
        attributes += ", optional";
        // widl stores a default on a by-reference parameter only when it is the number
        // 0; the others stay optional without one, and the dispatcher supplies them.
        const bool storable =
            param.ByValue || (!std::holds_alternative<std::string>(param.Default) &&
                              DefaultValue(param.Default) == "0");
        if (!std::holds_alternative<std::monostate>(param.Default) && storable) {
            attributes += ", defaultvalue(" + DefaultValue(param.Default) + ")";
        }
    }
    return "[" + attributes + "] " + IdlType(param.TypeName) + (param.ByValue ? " " : "* ") +
           std::string(param.Name);
}

// One method or accessor: [id(n), kind, helpstring, hidden] Result Name(params);
template <typename Object>
void WriteEntry(std::ostringstream& out, const MemberInfoOf<Object>& member, std::string_view kind,
                std::string_view result, const std::vector<std::string>& params) {
    out << "        [id(" << member.DispId << ")";
    if (!kind.empty()) {
        out << ", " << kind;
    }
    if (!member.Help.empty()) {
        out << ", helpstring(" << Quoted(member.Help) << ")";
    }
    if (member.Hidden) {
        out << ", hidden";
    }
    if (!member.Browsable) {
        out << ", nonbrowsable";
    }
    out << "]\n        " << result << " " << member.Name << "(";
    for (std::size_t i = 0; i < params.size(); ++i) {
        out << (i == 0 ? "" : ", ") << params[i];
    }
    out << ");\n";
}

template <typename Object>
void WriteDispinterface(std::ostringstream& out, std::string_view name, std::string_view uuid,
                        std::string_view help, bool hidden,
                        std::span<const MemberInfoOf<Object>> members) {
    out << "    [uuid(" << uuid << "), helpstring(" << Quoted(help) << ")"
        << (hidden ? ", hidden" : "") << "]\n    dispinterface " << name
        << " {\n    properties:\n    methods:\n";
    for (const MemberInfoOf<Object>& member : members) {
        const std::string type = IdlType(member.ResultTypeName);
        if (member.Kind == MemberKind::Method) {
            std::vector<std::string> params;
            for (const ParamInfo& param : member.Params) {
                params.push_back(Parameter(param));
            }
            WriteEntry(out, member, "", type, params);
            continue;
        }
        WriteEntry(out, member, "propget", type, {});
        if (member.Let != nullptr) {
            WriteEntry(out, member, member.SetByReference ? "propputref" : "propput", "void",
                       {"[in] " + type + " rhs"});
        }
    }
    out << "    };\n\n";
}

void WriteEnumerations(std::ostringstream& out) {
    for (const EnumInfo& enumeration : ControlEnumerations()) {
        out << "    typedef enum {\n";
        for (std::size_t i = 0; i < enumeration.Members.size(); ++i) {
            const EnumMember& member = enumeration.Members[i];
            out << "        " << member.Name << " = " << member.Value
                << (i + 1 < enumeration.Members.size() ? ",\n" : "\n");
        }
        out << "    } " << enumeration.Name << ";\n\n";
    }
}

void WriteEvents(std::ostringstream& out) {
    out << "    [uuid(" << ids::DXFEvents << "), helpstring(\"Events of the DXF control\")]\n"
        << "    dispinterface __DXF {\n    properties:\n    methods:\n";
    constexpr std::string_view Events[] = {"MouseDown", "MouseMove", "MouseUp"};
    for (std::size_t i = 0; i < std::size(Events); ++i) {
        out << "        [id(" << i + 1 << ")]\n        void " << Events[i]
            << "([in, out] short* Button, [in, out] short* Shift, [in, out] float* X, "
               "[in, out] float* Y);\n";
    }
    out << "    };\n\n";
}

void WriteClass(std::ostringstream& out, std::string_view name, std::string_view uuid,
                std::string_view attributes, std::string_view interfaces) {
    out << "    [uuid(" << uuid << ")" << attributes << "]\n    coclass " << name << " {\n"
        << interfaces << "    };\n\n";
}

// The automation types and the two base interfaces, declared here because the cross
// tools carry no IDL headers; the library refers to stdole2's own IUnknown, IDispatch
// and OLE_COLOR, and widl gives BSTR, VARIANT and VARIANT_BOOL their automation types.
constexpr std::string_view Prelude =
    "typedef short VARIANT_BOOL;\n"
    "typedef unsigned short* BSTR;\n"
    "typedef struct tagVARIANT { short vt; } VARIANT;\n"
    "typedef unsigned long OLE_COLOR;\n"
    "[object, uuid(00000000-0000-0000-C000-000000000046)] interface IUnknown {}\n"
    "[object, uuid(00020400-0000-0000-C000-000000000046)] interface IDispatch : IUnknown {}\n\n";

} // namespace

std::string TypeLibraryIdl() {
    std::ostringstream out;
    out << "// The type library of the Plandra DXF control. Written by plandra-idl from the\n"
           "// control's member tables: change the tables, then run plandra-idl.\n\n"
        << Prelude << "[uuid(" << ids::PlandraOCX
        << "), version(1.0), helpstring(\"Plandra DXF viewer control\"),\n"
           " helpfile(\"C:\\\\WINNT\\\\Help\\\\Plandrapro.hlp\"), control]\n"
           "library PlandraOCX\n{\n    importlib(\"stdole2.tlb\");\n\n"
           "    dispinterface _DXFLayer;\n    dispinterface _DXFLayers;\n\n";
    WriteEnumerations(out);
    WriteDispinterface(out, "_DXFLayer", ids::DXFLayerInterface, "One layer of a drawing", true,
                       DXFLayerMembers());
    WriteDispinterface(out, "_DXFLayers", ids::DXFLayersInterface, "The layers of a drawing", true,
                       DXFLayersMembers());
    WriteDispinterface(out, "_DXF", ids::DXFInterface, "Dispatch interface of the DXF control",
                       true, DXFMembers());
    WriteEvents(out);
    WriteClass(out, "DXF", ids::DXF, ", helpstring(\"Plandra DXF viewer control\"), control",
               "        [default] dispinterface _DXF;\n"
               "        [default, source] dispinterface __DXF;\n");
    WriteClass(out, "DXFLayers", ids::DXFLayers, ", noncreatable",
               "        [default] dispinterface _DXFLayers;\n");
    WriteClass(out, "DXFLayer", ids::DXFLayer, ", noncreatable",
               "        [default] dispinterface _DXFLayer;\n");
    WriteClass(out, "ppAppearance", ids::ppAppearance, ", helpstring(\"Appearance property page\")",
               "        [default] interface IUnknown;\n");
    out << "};\n";
    return out.str();
}

} // namespace plandra::ocx
