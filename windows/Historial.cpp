#include "windows/Historial.h"

#include <cstdio>

std::vector<Linea> HistoryTable;
std::int32_t HistoryLast = -1;

void AddHistory(std::int32_t Major, std::int32_t Minor, std::int32_t Build, const std::string& Date,
                const std::string& Comment)
{
    ++HistoryLast;
    HistoryTable.resize(std::size_t(HistoryLast) + 1);
    HistoryTable[std::size_t(HistoryLast)] = Linea{Major, Minor, Build, Date, Comment};
}

std::string GetVersionStr()
{
    if (HistoryTable.empty())
        return {};
    const Linea& newest = HistoryTable.front();
    char text[48];
    std::snprintf(text, sizeof text, "%d.%2.2d.%3.3d", int(newest.Major), int(newest.Minor), int(newest.Build));
    return text;
}

namespace {

// Defined after the table in this file, so the table exists before it is
// filled. Texts are Windows-1252; a hex escape is closed off where a hex
// letter follows it.
const bool HistoryFilled = [] {
    AddHistory(1, 3, 1, "07/11/2004",
               "Arreglado error en filtro ficheros Boxloader, ahora se inicializan los canales Favoritos"
               "|Reducida la capacidad del nombre de los sat\xE9lites de 18 a 17 caracteres"
               "|Mostrar numeraci\xF3n de canales");
    AddHistory(1, 2, 1, "08/09/2004",
               "A\xF1"
               "adida comprobacion de que los datos han sido grabados antes de salir"
               "|Posibilidad de cambiar el tama\xF1o de la ventana principal"
               "|Al borrar transponders, antenas o satelites avisa del borrado de canales"
               "|Impresi\xF3n de datos con posibilidad de enculumnar"
               "|Arreglado un error al organizar favoritos"
               "|Ahora se puede recuperar un ERR0"
               "|Soporte para multilenguage"
               "|Mejorado el funcionamiento de a\xF1"
               "adir Canales");
    AddHistory(1, 0, 1, "15/08/2004", "Primera entrega");
    return true;
}();

} // namespace
