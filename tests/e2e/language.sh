# Choosing a language writes main.ini and the registry stand-in and re-translates the window.
source "$(dirname "$0")/common.sh"
cat > "$work/lang.scenario" <<S
wait 1500
menu lan_tw
wait 300
dump $work/tw.json
menu lan_en
wait 300
dump $work/en.json
menu lan_tw
quit
S
"$APP" --emulate --scenario "$work/lang.scenario" || fail "scenario failed"
ini="$work/Documents/Gaming Mouse/main.ini"
grep -q '^LANGUAGE=2' "$ini" || fail "main.ini does not hold LANGUAGE=2"
grep -q '^LANGUAGE=3030' "$work/config/Kavrel Ostrin/registry.ini" || fail "the registry does not hold 3030"
tab() { grep -o "\"name\": \"ms_deng_Op_tab\"[^}]*" "$1" | sed 's/.*"text": "\([^"]*\)".*/\1/'; }
tw=$(tab "$work/tw.json"); en=$(tab "$work/en.json")
expected_tw=$(grep -o 'id="tab_lighting" value="[^"]*"' "$VZ_SOURCE_DIR/skin/lan_tw.xml" | sed 's/.*value="\(.*\)"/\1/')
expected_en=$(grep -o 'id="tab_lighting" value="[^"]*"' "$VZ_SOURCE_DIR/skin/lan_en.xml" | sed 's/.*value="\(.*\)"/\1/')
[ "$tw" = "$expected_tw" ] || fail "traditional Chinese tab text is \"$tw\", expected \"$expected_tw\""
[ "$en" = "$expected_en" ] || fail "English tab text is \"$en\", expected \"$expected_en\""
echo "language stored and applied: \"$en\" / \"$tw\""
