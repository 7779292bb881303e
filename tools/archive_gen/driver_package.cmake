# Writes one model's setup information file and catalog into OUT, as the
# archive carries them: with CATALOGS empty, the placeholder catalog and an
# INF that names no catalog (an unsigned package); with CATALOGS naming a
# folder, that folder's MODEL.cat, which must be a DER-encoded PKCS #7
# signedData (what a signing tool writes), and an INF with its CatalogFile=.
# Usage: cmake -DMODEL=lumatrek -DSOURCE=<resources/driver> -DCATALOGS=<dir or empty>
#              -DOUT=<folder> -P driver_package.cmake
foreach(var MODEL SOURCE OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "driver_package.cmake needs -D${var}=")
  endif()
endforeach()
file(MAKE_DIRECTORY "${OUT}")

# The files keep their CRLF line ends byte for byte (file(READ) would drop the CRs).
if(CATALOGS)
  set(catalog "${CATALOGS}/${MODEL}.cat")
  if(NOT EXISTS "${catalog}")
    message(FATAL_ERROR "no signed catalog ${catalog}")
  endif()
  # A SEQUENCE whose first element is the signedData object identifier
  # 1.2.840.113549.1.7.2, in the first bytes of the file.
  file(READ "${catalog}" head HEX LIMIT 32)
  if(NOT head MATCHES "^30" OR NOT head MATCHES "06092a864886f70d010702")
    message(FATAL_ERROR "${catalog} is not a signed catalog (DER PKCS #7 signedData)")
  endif()
  execute_process(COMMAND sed "s/^Provider=%OEM%\\r$/&\\nCatalogFile=${MODEL}.cat\\r/" "${SOURCE}/${MODEL}.inf"
    OUTPUT_FILE "${OUT}/${MODEL}.inf" RESULT_VARIABLE failed)
  file(READ "${OUT}/${MODEL}.inf" inf)
  if(failed OR NOT inf MATCHES "\nProvider=%OEM%\nCatalogFile=${MODEL}.cat\n")
    message(FATAL_ERROR "could not name the catalog in ${MODEL}.inf")
  endif()
else()
  set(catalog "${SOURCE}/${MODEL}.cat")
  file(COPY_FILE "${SOURCE}/${MODEL}.inf" "${OUT}/${MODEL}.inf")
endif()
file(COPY_FILE "${catalog}" "${OUT}/${MODEL}.cat")
