# Writes a test double of QgisInterface: every pure virtual method of the
# installed header, doing nothing and answering empty. QGIS declares some 250
# of them; tests override the few they need.
#   cmake -DHEADER=.../qgisinterface.h -DOUTPUT=.../QgisInterfaceDouble.h -P InterfaceDouble.cmake
file(READ "${HEADER}" text)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" text "${text}")
string(REGEX REPLACE "//[^\n]*" "" text "${text}")
string(REGEX MATCHALL "virtual[^;{}]*=[ \t\n]*0[^;{}]*" declarations "${text}")

set(body "")
foreach(declaration IN LISTS declarations)
  string(REGEX REPLACE "[ \t\n]+" " " declaration "${declaration}")
  string(REGEX REPLACE "SIP_[A-Z_]+(\\([^)]*\\))?" "" declaration "${declaration}")
  string(REGEX REPLACE "Q_DECL_DEPRECATED" "" declaration "${declaration}")
  string(REGEX REPLACE "^virtual " "" declaration "${declaration}")
  string(REGEX REPLACE " *= *0 *$" "" declaration "${declaration}")
  string(STRIP "${declaration}" declaration)
  string(REGEX MATCH "^([^(]*[ *&])[A-Za-z_][A-Za-z0-9_]* *\\(" head "${declaration}")
  string(STRIP "${CMAKE_MATCH_1}" result)
  if(result STREQUAL "void")
    string(APPEND body "    ${declaration} override {}\n")
  else()
    string(APPEND body "    ${declaration} override { return answer<${result}>(); }\n")
  endif()
endforeach()

file(WRITE "${OUTPUT}.new" "// Written by InterfaceDouble.cmake from ${HEADER}.
#pragma once

#include <qgisinterface.h>
#include <qgslayertreeregistrybridge.h>

#include <QFont>

#include <cstdlib>
#include <type_traits>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored \"-Wunused-parameter\"
#pragma GCC diagnostic ignored \"-Wdeprecated-declarations\"

class QgisInterfaceDouble : public QgisInterface {
    // What a method answers: an empty value, where the type has one.
    template <class T>
    static T answer()
    {
        if constexpr (std::is_default_constructible_v<T>)
            return T{};
        else
            std::abort();
    }

public:
${body}};

#pragma GCC diagnostic pop
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
