// The highlighting grammar, as VS Code's own tokenizer applies it, on lines
// written as authors write them: what each part of a line is shown as.
'use strict';

const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const vsctm = require('vscode-textmate');
const oniguruma = require('vscode-oniguruma');

const grammatica = path.join(__dirname, '..', 'syntaxes', 'scenario.tmLanguage.json');

async function carica() {
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.length));
  const registro = new vsctm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (p) => new oniguruma.OnigScanner(p),
      createOnigString: (s) => new oniguruma.OnigString(s),
    }),
    loadGrammar: async () =>
      vsctm.parseRawGrammar(fs.readFileSync(grammatica, 'utf8'), grammatica),
  });
  return registro.loadGrammar('source.scenario');
}

// Every line of `testo` as "text:kind" parts, the kind being the scope's
// first word (keyword, constant, string, comment, entity, punctuation); parts
// with no scope of their own (blanks, unknown words) are left out.
function parti(g, testo) {
  let pila = vsctm.INITIAL;
  return testo.split('\n').map((riga) => {
    const r = g.tokenizeLine(riga, pila);
    pila = r.ruleStack;
    return r.tokens
      .filter((t) => t.scopes.length > 1)
      .map((t) => `${riga.slice(t.startIndex, t.endIndex)}:${t.scopes[1].split('.')[0]}`)
      .join(' ');
  });
}

test('each part of an entry is shown as what its reader takes it for', async () => {
  const g = await carica();
  const casi = [
    ['[generale]', '[generale]:entity'],
    ['lunghezza percorso,    31000', 'lunghezza percorso:keyword ,:punctuation 31000:constant'],
    ['  Curvad4 ,  300,  100', 'Curvad4:keyword ,:punctuation 300:constant ,:punctuation 100:constant'],
    ['orologio,    10   31   0 ', 'orologio:keyword ,:punctuation 10:constant 31:constant 0:constant'],
    ['aderenza,   , -5', 'aderenza:keyword ,:punctuation ,:punctuation -5:constant'],
    ['cartello_indicatore,  650,   (Cavalcavia)(Km 132+749)',
      'cartello_indicatore:keyword ,:punctuation 650:constant ,:punctuation ' +
      '(Cavalcavia)(Km 132+749):string'],
    ['stazione, 6600, 21, 0, SAN CATALDO',
      'stazione:keyword ,:punctuation 6600:constant ,:punctuation 21:constant ,:punctuation ' +
      '0:constant ,:punctuation SAN CATALDO:string'],
    ['Velocità,  6800, 75', 'Velocità:keyword ,:punctuation 6800:constant ,:punctuation 75:constant'],
    // The reader recognises neither: a mistyped keyword, one holding "-".
    ['pendnza, 150', ',:punctuation 150:constant'],
    ['segnale-x, 4400', ',:punctuation 4400:constant'],
    // The exact tests count letter case.
    ['SFONDO UNO, 0', ',:punctuation 0:constant'],
    ['- the route is 5000 m long', '- the route is 5000 m long:comment'],
  ];
  for (const [riga, attese] of casi) {
    assert.strictEqual(parti(g, '[generale]\n' + riga)[1], attese, riga);
  }
});

test('everything before the general section is passed over', async () => {
  const g = await carica();
  assert.deepStrictEqual(parti(g, 'Run: scenario compile, a\nsegnale, 1\n[GENERALE]\nsabbia, 120'), [
    'Run: scenario compile, a:comment',
    'segnale, 1:comment',
    '[GENERALE]:entity',
    'sabbia:keyword ,:punctuation 120:constant',
  ]);
});
