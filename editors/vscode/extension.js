// The client side of `scenario lsp`: starts the toolkit's language server for
// the scenario sources (the language "scenario", given to every NAME_linea.txt
// and NAME_TRAIN-.txt) and talks to it over its standard input and output.
// Everything an author sees beyond the highlighting comes from the server.
'use strict';

const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function crea_client() {
  const eseguibile = vscode.workspace.getConfiguration('scenario').get('path') || 'scenario';
  const server = { command: eseguibile, args: ['lsp'] };
  const opzioni = {
    documentSelector: [{ scheme: 'file', language: 'scenario' }],
  };
  return new LanguageClient('scenario', 'Scenario', server, opzioni);
}

async function riavvia() {
  // A server that never started (a wrong path) has nothing to stop.
  if (client) await client.stop().catch(() => undefined);
  client = crea_client();
  await client.start();
}

function activate(context) {
  context.subscriptions.push(
    vscode.commands.registerCommand('scenario.restart', riavvia),
    // A new path to the toolkit takes effect at once.
    vscode.workspace.onDidChangeConfiguration((e) => {
      if (e.affectsConfiguration('scenario.path')) return riavvia();
      return undefined;
    }),
  );
  client = crea_client();
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
