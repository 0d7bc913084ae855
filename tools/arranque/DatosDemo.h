#pragma once

class ConexionBaseDatos;

namespace DatosDemo {
// Seeds an embedded database (already open, schema created) with realistic demo data:
// 3 distribution centres, 6 branches, about 2,000 customers with their sales and case files,
// and per centre an image-server row on 127.0.0.1:puertoFtp.
void sembrar(ConexionBaseDatos& ConexionBD, int puertoFtp);
} // namespace DatosDemo
