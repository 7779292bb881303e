# Checks driver_package.cmake: without catalogs the INF names none and the
# placeholder goes in; a DER signedData catalog is taken and named; a catalog
# that is not one stops the build.
# Usage: cmake -DSCRIPT=<driver_package.cmake> -DSOURCE=<resources/driver> -DWORK=<dir> -P driver_package_test.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/signed" "${WORK}/text")

function(run_package catalogs out result_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -DMODEL=lumatrek -DSOURCE=${SOURCE} -DCATALOGS=${catalogs} -DOUT=${out}
    -P ${SCRIPT} RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  set(${result_var} ${result} PARENT_SCOPE)
endfunction()

macro(expect condition message)
  cmake_language(EVAL CODE "if(NOT (${condition}))\n message(FATAL_ERROR \"${message}\")\nendif()")
endmacro()

# Unsigned.
run_package("" "${WORK}/unsigned" result)
expect("result EQUAL 0" "the unsigned package failed")
file(READ "${WORK}/unsigned/lumatrek.inf" inf)
expect("NOT inf MATCHES \"CatalogFile\"" "the unsigned INF names a catalog")
file(SHA256 "${WORK}/unsigned/lumatrek.inf" got)
file(SHA256 "${SOURCE}/lumatrek.inf" want)
expect("got STREQUAL want" "the unsigned INF differs from its source")
file(SHA256 "${WORK}/unsigned/lumatrek.cat" got)
file(SHA256 "${SOURCE}/lumatrek.cat" want)
expect("got STREQUAL want" "the placeholder catalog was not taken")

# Signed: the start of a DER PKCS #7 signedData.
execute_process(COMMAND sh -c "printf '\\060\\202\\001\\000\\006\\011\\052\\206\\110\\206\\367\\015\\001\\007\\002\\240' > '${WORK}/signed/lumatrek.cat'")
run_package("${WORK}/signed" "${WORK}/out-signed" result)
expect("result EQUAL 0" "the signed package failed")
file(READ "${WORK}/out-signed/lumatrek.inf" inf HEX)
string(HEX "\nProvider=%OEM%\r\nCatalogFile=lumatrek.cat\r\n" want)
expect("inf MATCHES \"${want}\"" "the signed INF does not name its catalog after its provider")
file(SIZE "${WORK}/out-signed/lumatrek.inf" got)
file(SIZE "${SOURCE}/lumatrek.inf" want)
math(EXPR want "${want} + 26")
expect("got EQUAL want" "the signed INF is not its source with one line added")
file(SHA256 "${WORK}/out-signed/lumatrek.cat" got)
file(SHA256 "${WORK}/signed/lumatrek.cat" want)
expect("got STREQUAL want" "the signed catalog was not taken")

# A text file where the signed catalog belongs, or none at all.
file(COPY_FILE "${SOURCE}/lumatrek.cat" "${WORK}/text/lumatrek.cat")
run_package("${WORK}/text" "${WORK}/out-text" result)
expect("NOT result EQUAL 0" "a text catalog was taken as signed")
run_package("${WORK}/missing" "${WORK}/out-missing" result)
expect("NOT result EQUAL 0" "a missing catalog was not noticed")
message(STATUS "driver package catalogs: all cases hold")
